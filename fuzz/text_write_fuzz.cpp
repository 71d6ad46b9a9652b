// text_write over arbitrary byte runs, from arbitrary viewports, cursor
// positions, colours and page roles. Beyond not crashing: a write changes
// nothing outside the work page's text viewport (no pixel or cell record of
// another page, of the rows above or below the viewport, or of the slack
// between pages), and it leaves the cursor inside the viewport.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <vector>

#include "fuzz/fuzz_check.h"
#include "runtime/screen/paged_screen.h"
#include "runtime/screen/screen_open.h"
#include "runtime/text/text_output.h"
#include "runtime/window/headless_back_end.h"

using namespace runtime;

namespace {

constexpr size_t SETUP_BYTES = 8;

struct Viewport {
  int32_t first;  // 0-based rows, inclusive
  int32_t last;
};

Viewport current_viewport() {
  const int32_t packed = text_view(-1, -1);
  return {(packed & 0xFFFF) - 1, (packed >> 16) - 1};
}

void check_untouched(const PagedScreen& screen, int32_t work, Viewport view,
                     const std::vector<uint8_t>& pages_before,
                     const std::vector<TextCell>& cells_before) {
  const size_t page_bytes = static_cast<size_t>(screen.pitch) * static_cast<size_t>(screen.height);
  const size_t first_pixel =
      static_cast<size_t>(view.first) * 8 * static_cast<size_t>(screen.pitch);
  const size_t end_pixel =
      static_cast<size_t>(view.last + 1) * 8 * static_cast<size_t>(screen.pitch);
  const auto same = [&](size_t from, size_t to) {
    return to <= from || std::memcmp(screen.page_memory.data() + from, pages_before.data() + from,
                                     to - from) == 0;
  };
  FUZZ_CHECK(screen.page_memory.size() == pages_before.size());
  for (size_t page = 0; page * screen.page_stride < pages_before.size(); ++page) {
    const size_t start = page * screen.page_stride;
    const size_t stop = std::min(start + screen.page_stride, pages_before.size());
    if (static_cast<int32_t>(page) != work) {
      FUZZ_CHECK(same(start, stop));
    } else {
      FUZZ_CHECK(same(start, start + first_pixel));
      FUZZ_CHECK(same(start + end_pixel, stop));
    }
  }
  (void)page_bytes;
  const auto per_page =
      static_cast<size_t>(screen.text_rows) * static_cast<size_t>(screen.text_columns);
  for (size_t i = 0; i < cells_before.size(); ++i) {
    const size_t page = i / per_page;
    const auto row = static_cast<int32_t>(i % per_page / static_cast<size_t>(screen.text_columns));
    if (static_cast<int32_t>(page) == work && row >= view.first && row <= view.last) continue;
    const TextCell& a = screen.cells[i];
    const TextCell& b = cells_before[i];
    FUZZ_CHECK(a.character == b.character && a.foreground == b.foreground &&
               a.background == b.background);
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  headless_install();
  FUZZ_CHECK(screen_open(320, 200, 4, 8, 0, 0) == RESULT_OK);
  // libFuzzer ends with exit(): the window thread must be stopped before the
  // statics it runs on are destroyed.
  std::atexit(screen_release);
  // Distinct bytes everywhere, so a stray write shows whatever it writes.
  PagedScreen& screen = *screen_current();
  for (size_t i = 0; i < screen.page_memory.size(); ++i) {
    screen.page_memory[i] = static_cast<uint8_t>(i * 7 + i / 251);
  }
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < SETUP_BYTES) return 0;
  PagedScreen& screen = *screen_current();
  const int32_t work = data[6] % 8;
  screen_set_pages(work, data[7] % 8);
  text_view(data[0] % 26, data[1] % 26);
  text_locate(data[2] % 27, data[3] % 42, -1, 0, 0);
  text_colour(data[4], data[5], 0);
  const Viewport view = current_viewport();
  FUZZ_CHECK(view.first >= 0 && view.first <= view.last && view.last < screen.text_rows);

  // Kept between runs: a fresh half-megabyte copy each time costs more than the write.
  static std::vector<uint8_t> pages_before;
  static std::vector<TextCell> cells_before;
  pages_before.assign(screen.page_memory.begin(), screen.page_memory.end());
  cells_before.assign(screen.cells.begin(), screen.cells.end());
  // Two writes, so a wrap left pending by the first is taken up by the second.
  const std::string_view run(reinterpret_cast<const char*>(data + SETUP_BYTES), size - SETUP_BYTES);
  const size_t split = run.empty() ? 0 : data[0] % (run.size() + 1);
  text_write(run.substr(0, split));
  text_write(run.substr(split));

  check_untouched(screen, work, view, pages_before, cells_before);
  FUZZ_CHECK(screen.text.cursor_column >= 0 && screen.text.cursor_column < screen.text_columns);
  FUZZ_CHECK(screen.text.cursor_row >= view.first && screen.text.cursor_row <= view.last);
  return 0;
}
