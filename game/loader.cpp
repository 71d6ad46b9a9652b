#include "game/loader.h"

#include "runtime/files/file_table.h"
#include "runtime/screen/images.h"
#include "runtime/screen/pixels.h"
#include "runtime/screen/results.h"
#include "runtime/text/screen_clear.h"

namespace game {

using namespace runtime;

void load_mem_image(const char* path, int32_t width, int32_t height, ImageBuffer*& slot) {
  slot = image_create(width, height, 0, 0, IMAGE_NO_FILL);
  const int32_t file = text_file_free_number();
  // Without an open file every pixel is 0. Reading on regardless would take
  // items through whatever the thread's binding still names, which is nothing
  // in the game but could be another caller's open file.
  const bool opened = path != nullptr && text_file_open(path, file) == RESULT_OK;
  screen_clear(ARG_OMITTED);
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x) {
      int32_t value = 0;
      if (opened) {
        text_file_begin_input(file);
        text_file_read_int(value);
      }
      pixel_set(nullptr, static_cast<float>(x), static_cast<float>(y), static_cast<uint32_t>(value),
                COORDINATES_PLAIN, 0);
    }
  }
  if (opened) text_file_close(file);
  // Without a picture (no memory) the plotting still happened, so the work
  // page holds what the file said; there is just nothing to grab into.
  if (slot != nullptr) {
    image_grab(nullptr, 0, 0, static_cast<float>(width - 1), static_cast<float>(height - 1), slot,
               COORDINATES_PLAIN, nullptr);
  }
}

}  // namespace game
