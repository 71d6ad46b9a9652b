// Boxes on the current drawing target: an outline or a filled box between two
// inclusive corners, clipped to the target. Game thread only.
#pragma once

#include <cstdint>

namespace runtime {

struct ImageBuffer;

constexpr int32_t LINE_SHAPE_LINE = 0;
constexpr int32_t LINE_SHAPE_BOX = 1;
constexpr int32_t LINE_SHAPE_FILLED_BOX = 2;
constexpr uint32_t LINE_STYLE_SOLID = 0xFFFF;

// Shape 1 draws the outline (only with the solid style 0xFFFF), shape 2 fills
// the box (style ignored); straight lines and other styles draw nothing. A
// negative mode means no colour is given and the foreground colour is used.
// The corners may come in any order; both are part of the box.
void draw_line(ImageBuffer* target, float x1, float y1, float x2, float y2, uint32_t colour,
               int32_t shape, uint32_t style, int32_t mode);

}  // namespace runtime
