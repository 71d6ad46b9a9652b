// The asset loader: one .mem text file becomes an ImageBuffer by plotting
// every item on the work page and grabbing the rectangle. Game thread only.
#pragma once

#include <cstdint>

#include "runtime/screen/image_buffer.h"

namespace game {

// Always leaves a width x height picture in `slot` (blank where the file gave
// nothing), or null when the picture cannot be made at all. Never fails
// loudly: a missing or short file is a blank or partly blank picture. The work
// page keeps the picture at (0, 0) and colour 0 elsewhere.
void load_mem_image(const char* path, int32_t width, int32_t height, runtime::ImageBuffer*& slot);

}  // namespace game
