// screen_open and screen_release: the paged screen's start and end, with the
// window side's start and end between them.
#include "runtime/screen/screen_open.h"

#include <algorithm>
#include <memory>
#include <new>
#include <string>

#include "runtime/screen/draw_state.h"
#include "runtime/screen/paged_screen.h"
#include "runtime/screen/results.h"
#include "runtime/screen/screen_lock.h"
#include "runtime/window/window.h"

namespace runtime {
namespace {

int32_t last_screen_id = 0;

bool depth_accepted(int32_t depth) {
  switch (depth) {
    case 1:
    case 2:
    case 4:
    case 8:
    case 15:
    case 16:
    case 24:
    case 32:
      return true;
    default:
      return false;
  }
}

int32_t bytes_per_pixel_for(int32_t depth) {
  if (depth <= 8) return 1;
  if (depth <= 16) return 2;
  return 4;  // 24-bit pixels are stored in 32 bits
}

// The title is fixed at the first screen_open of the process.
const std::string& program_title() {
  static const std::string title = window_program_name();
  return title;
}

// Builds the state of a new screen, or null when a size overflows or memory
// runs out.
std::unique_ptr<PagedScreen> make_screen(int32_t width, int32_t height, int32_t depth,
                                         int32_t pages) {
  const int64_t bytes_per_pixel = bytes_per_pixel_for(depth);
  const int64_t pitch = int64_t{width} * bytes_per_pixel;
  if (pitch > INT32_MAX) return nullptr;
  const int64_t page_bytes = pitch * height;  // both below 2^31: no overflow in 64 bits
  const int64_t stride = (page_bytes + 15) / 16 * 16;
  if (stride > INT64_MAX / pages) return nullptr;
  const int64_t total = stride * pages;
  if (static_cast<uint64_t>(total) > SIZE_MAX / 2) return nullptr;
  const int64_t cell_count = int64_t{width / 8} * (height / 8) * pages;

  auto screen = std::unique_ptr<PagedScreen>(new (std::nothrow) PagedScreen);
  if (!screen) return nullptr;
  try {
    screen->page_memory.assign(static_cast<size_t>(total), 0);
    screen->dirty_rows.assign(static_cast<size_t>(height), 0);
    screen->cells.assign(static_cast<size_t>(cell_count), TextCell{});
  } catch (const std::exception&) {  // bad_alloc or length_error
    return nullptr;
  }
  screen->id = ++last_screen_id;
  screen->width = width;
  screen->height = height;
  screen->depth = depth;
  screen->bytes_per_pixel = static_cast<int32_t>(bytes_per_pixel);
  screen->pitch = static_cast<int32_t>(pitch);
  screen->colour_mask = depth >= 32 ? 0xFFFFFFFFu : (uint32_t{1} << depth) - 1;
  screen->page_count = pages;
  screen->page_stride = static_cast<size_t>(stride);
  screen->visible_page = 0;
  screen->text_columns = width / 8;
  screen->text_rows = height / 8;
  return screen;
}

void load_default_palette(PagedScreen& screen) {
  const uint64_t entries = screen.depth >= 8 ? 256 : uint64_t{1} << screen.depth;
  screen_lock();
  for (uint64_t index = 0; index < entries; ++index) {
    const uint32_t rgb = index < DEFAULT_PALETTE.size() ? DEFAULT_PALETTE[index] : 0;
    screen.palette[index] = rgb;
    window_set_palette(static_cast<int32_t>(index), static_cast<uint8_t>(rgb & 0xFF),
                       static_cast<uint8_t>((rgb >> 8) & 0xFF),
                       static_cast<uint8_t>((rgb >> 16) & 0xFF));
  }
  screen_mark_all_rows();
  screen_unlock();
}

}  // namespace

int32_t screen_open(int32_t width, int32_t height, int32_t depth, int32_t pages, int32_t flags,
                    int32_t refresh) {
  if (width <= 0 || height <= 0 || !depth_accepted(depth)) return RESULT_ILLEGAL_CALL;
  pages = std::max(pages, 1);

  screen_release();
  std::unique_ptr<PagedScreen> screen = make_screen(width, height, depth, pages);
  if (!screen) return RESULT_ILLEGAL_CALL;
  PagedScreen& opened = *screen;
  screen_set_current(std::move(screen));

  if (window_open(program_title(), width, height, depth, refresh, flags) != 0) {
    screen_set_current(nullptr);
    return RESULT_ILLEGAL_CALL;
  }
  load_default_palette(opened);
  draw_state_reset(opened);
  text_viewport() = TextViewport{1, opened.text_rows};
  opened.text = TextState{};
  return RESULT_OK;
}

void screen_release() {
  if (screen_current() == nullptr) return;
  window_close();
  screen_set_current(nullptr);
}

}  // namespace runtime
