#include "tests/support/golden_frame.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "runtime/screen/paged_screen.h"

namespace golden {

std::string capture(int32_t page, int32_t x, int32_t y, int32_t width, int32_t height,
                    bool rest_black) {
  runtime::PagedScreen& screen = *runtime::screen_current();
  const uint8_t* pixels = runtime::screen_page(screen, page);
  std::string text;
  int64_t lit_outside = 0;
  for (int32_t row = 0; row < screen.height; ++row) {
    for (int32_t column = 0; column < screen.width; ++column) {
      const uint8_t value = pixels[row * screen.pitch + column * screen.bytes_per_pixel];
      const bool inside = column >= x && column < x + width && row >= y && row < y + height;
      if (inside) text += value < 16 ? "0123456789abcdef"[value] : '?';
      if (inside && column == x + width - 1) text += '\n';
      lit_outside += !inside && value != 0;
    }
  }
  if (rest_black && lit_outside > 0) text += std::to_string(lit_outside) + " lit outside\n";
  return text;
}

::testing::AssertionResult matches(const std::string& path, const std::string& frame) {
  const char* update = std::getenv("TILEWALK_UPDATE_GOLDEN");
  if (update != nullptr && std::string(update) == "1") {
    std::ofstream(path, std::ios::binary) << frame;
    return ::testing::AssertionSuccess();
  }
  std::stringstream file;
  file << std::ifstream(path, std::ios::binary).rdbuf();
  const std::string stored = file.str();
  if (stored == frame) return ::testing::AssertionSuccess();
  // The first line that differs, for a readable failure.
  size_t at = 0;
  while (at < frame.size() && at < stored.size() && stored[at] == frame[at]) ++at;
  // The stored file may end just before this line.
  const size_t line = std::min(frame.rfind('\n', at) + 1, stored.size());
  return ::testing::AssertionFailure()
         << path << " line "
         << std::count(frame.begin(), frame.begin() + static_cast<ptrdiff_t>(line), '\n') + 1
         << "\nwant " << stored.substr(line, stored.find('\n', line) - line) << "\ngot  "
         << frame.substr(line, frame.find('\n', line) - line);
}

}  // namespace golden
