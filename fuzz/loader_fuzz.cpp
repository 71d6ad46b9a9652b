// load_mem_image on an arbitrary file, at each asset size (the 16 x 16
// pictures and the 64 x 32 map). Beyond not crashing: the loader always
// leaves a picture of the asked size whose every pixel is the low byte of the
// item the reader gives for that place, and the work page holds the same
// picture at its top-left corner and colour 0 everywhere else.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "fuzz/fuzz_check.h"
#include "game/loader.h"
#include "runtime/files/item_reader.h"
#include "runtime/screen/images.h"
#include "runtime/screen/paged_screen.h"
#include "runtime/screen/screen_open.h"
#include "runtime/text/text_output.h"
#include "runtime/window/headless_back_end.h"

using namespace runtime;

namespace {

struct Size {
  int32_t width;
  int32_t height;
};
constexpr Size ASSET_SIZES[] = {{16, 16}, {64, 32}};

void check_load(const std::string& path, const uint8_t* data, size_t size, Size asset) {
  ImageBuffer* picture = nullptr;
  game::load_mem_image(path.c_str(), asset.width, asset.height, picture);
  FUZZ_CHECK(picture != nullptr);
  FUZZ_CHECK(picture->width == static_cast<uint32_t>(asset.width));
  FUZZ_CHECK(picture->height == static_cast<uint32_t>(asset.height));
  FUZZ_CHECK(picture->bytes_per_pixel == 1);

  PagedScreen& screen = *screen_current();
  const uint8_t* work = screen_page(screen, 1);
  ByteStream stream = stream_over(data, size);
  for (int32_t y = 0; y < asset.height; ++y) {
    for (int32_t x = 0; x < asset.width; ++x) {
      const auto expected = static_cast<uint8_t>(static_cast<uint32_t>(item_read(stream)));
      const uint8_t got =
          image_pixels(picture)[static_cast<size_t>(y) * picture->pitch + static_cast<size_t>(x)];
      FUZZ_CHECK(got == expected);
      FUZZ_CHECK(work[y * screen.pitch + x] == expected);
    }
  }
  for (int32_t y = 0; y < screen.height; ++y) {
    for (int32_t x = 0; x < screen.width; ++x) {
      if (x < asset.width && y < asset.height) continue;
      FUZZ_CHECK(work[y * screen.pitch + x] == 0);
    }
  }
  // The game keeps its six pictures for the whole run; a fuzzer loading
  // millions must not.
  image_release(picture);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  headless_install();
  FUZZ_CHECK(screen_open(320, 200, 4, 8, 0, 0) == RESULT_OK);
  // libFuzzer ends with exit(): the window thread must be stopped before the
  // statics it runs on are destroyed.
  std::atexit(screen_release);
  screen_set_pages(1, 0);
  text_view(1, 25);
  text_colour(15, 0, 0);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = fuzz::scratch_path("asset.mem");
  FUZZ_CHECK(fuzz::write_file(path, data, size));
  for (const Size& asset : ASSET_SIZES) check_load(path, data, size, asset);
  return 0;
}
