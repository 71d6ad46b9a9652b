// The process's one PagedScreen: page roles, page copies, marking rows for
// presentation, and the conversion the window side's tick runs.
#include "runtime/screen/paged_screen.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <new>
#include <string>

#include "runtime/screen/draw_state.h"
#include "runtime/screen/screen_lock.h"

namespace runtime {

const std::array<uint32_t, 16> DEFAULT_PALETTE = {
    0x000000, 0xAA0000, 0x00AA00, 0xAAAA00, 0x0000AA, 0xAA00AA, 0x0055AA, 0xAAAAAA,
    0x555555, 0xFF5555, 0x55FF55, 0xFFFF55, 0x5555FF, 0xFF55FF, 0x55FFFF, 0xFFFFFF,
};

namespace {

// Written by the game's thread only while no window thread runs: before
// window_open starts it and after window_close has joined it.
std::unique_ptr<PagedScreen> current;
TextViewport viewport;

void convert_bytes(const uint8_t* __restrict source, uint32_t* __restrict target, size_t count,
                   const uint32_t* __restrict colours) {
  for (size_t i = 0; i < count; ++i) target[i] = colours[source[i]];
}

}  // namespace

PagedScreen* screen_current() { return current.get(); }
TextViewport& text_viewport() { return viewport; }

void screen_set_current(std::unique_ptr<PagedScreen> screen) { current = std::move(screen); }

int32_t screen_set_pages(int32_t work, int32_t visible) {
  PagedScreen* screen = current.get();
  if (!screen) return -1;
  const int32_t previous = screen->visible_page * 256 + draw_state().work_page;
  draw_select_target(nullptr);
  if (work < 0 && visible < 0) {
    work = 0;
    visible = 0;
  }
  if (work >= 0 && work < screen->page_count) draw_set_work_page(work);
  if (visible >= 0 && visible < screen->page_count && visible != screen->visible_page) {
    screen_lock();
    screen->visible_page = visible;
    screen_mark_all_rows();
    screen_unlock();
  }
  return previous;
}

int32_t screen_copy_page(int32_t from, int32_t to) {
  PagedScreen* screen = current.get();
  if (!screen) return RESULT_ILLEGAL_CALL;
  DrawState* state = draw_select_target(nullptr);
  const int32_t source = from < 0 ? state->work_page : from;
  if (source >= screen->page_count) return RESULT_ILLEGAL_CALL;
  const int32_t destination = to < 0 ? screen->visible_page : to;
  if (destination >= screen->page_count) return RESULT_ILLEGAL_CALL;
  if (source == destination) return RESULT_OK;

  // The clip rectangle is the whole page here, so the rows are contiguous:
  // one block copy moves the whole picture.
  const size_t page_bytes =
      static_cast<size_t>(screen->pitch) * static_cast<size_t>(screen->height);
  const bool onto_visible = destination == screen->visible_page;
  if (onto_visible) screen_lock();
  std::memcpy(screen_page(*screen, destination), screen_page(*screen, source), page_bytes);
  if (onto_visible) {
    screen_mark_all_rows();
    screen_unlock();
  }
  return RESULT_OK;
}

void screen_mark_rows(int32_t first, int32_t last) {
  PagedScreen* screen = current.get();
  if (!screen || !draw_target_is_visible_page()) return;
  first = std::max(first, 0);
  last = std::min(last, screen->height - 1);
  if (first > last) return;
  std::memset(screen->dirty_rows.data() + first, 1,
              static_cast<size_t>(last) - static_cast<size_t>(first) + 1);
}

void screen_mark_all_rows() {
  if (PagedScreen* screen = current.get()) {
    std::fill(screen->dirty_rows.begin(), screen->dirty_rows.end(), uint8_t{1});
  }
}

PresentedRows present_dirty_rows(const uint32_t* colours, uint32_t* pixels, int32_t stride) {
  PagedScreen* screen = current.get();
  if (!screen) return {};
  const auto& flags = screen->dirty_rows;
  const auto first_dirty = std::find(flags.begin(), flags.end(), uint8_t{1});
  if (first_dirty == flags.end()) return {};
  const auto last_dirty = std::find(flags.rbegin(), flags.rend(), uint8_t{1});
  const auto first = static_cast<int32_t>(first_dirty - flags.begin());
  const auto last = static_cast<int32_t>(flags.rend() - last_dirty) - 1;

  // Unmarked rows inside the band still equal what the window shows, so the
  // whole band is converted in one pass. Wider pixels show their low byte.
  const uint8_t* page = screen_page(*screen, screen->visible_page);
  const size_t step = static_cast<size_t>(screen->bytes_per_pixel);
  const auto width = static_cast<size_t>(screen->width);
  const auto pitch = static_cast<size_t>(screen->pitch);
  if (step == 1 && static_cast<ptrdiff_t>(width) == stride) {
    // One-byte pixels in rows without slack: the band is one run of bytes, and
    // a single loop over it keeps the lookups back to back.
    const uint8_t* source = page + static_cast<size_t>(first) * pitch;
    uint32_t* target = pixels + static_cast<ptrdiff_t>(first) * stride;
    convert_bytes(source, target, static_cast<size_t>(last - first + 1) * width, colours);
  } else {
    for (int32_t y = first; y <= last; ++y) {
      const uint8_t* source = page + static_cast<size_t>(y) * pitch;
      uint32_t* target = pixels + static_cast<ptrdiff_t>(y) * stride;
      for (size_t x = 0; x < width; ++x) target[x] = colours[source[x * step]];
    }
  }
  std::fill(screen->dirty_rows.begin(), screen->dirty_rows.end(), uint8_t{0});
  return {first, last};
}

}  // namespace runtime
