// The paged indexed screen: the one process-wide PagedScreen, its pages,
// dirty-row flags and palette, and the page operations the game calls.
// Opening and closing a screen (which starts and ends the window side) is
// screen_open.h's.
//
// Owner of the screen state: pages, palette, dirty rows, text grid and
// TextState live here from screen_open until the screen closes.
// Every function here is called from the game's thread, except
// present_dirty_rows, which only the window side's tick calls (with the screen
// lock held).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "runtime/screen/results.h"

namespace runtime {

// Cursor of the text drawn on the graphics screen (0-based).
struct TextState {
  int32_t cursor_column = 0;
  int32_t cursor_row = 0;
  bool pending_wrap = false;
};

// One text position of a page: what text_write last drew there.
struct TextCell {
  uint8_t character = 32;
  uint8_t foreground = 15;
  uint8_t background = 0;
};

struct PagedScreen {
  int32_t id = 0;
  int32_t width = 0;
  int32_t height = 0;
  int32_t depth = 0;
  int32_t bytes_per_pixel = 0;
  int32_t pitch = 0;  // bytes per page row; rows have no slack
  uint32_t colour_mask = 0;
  int32_t page_count = 0;
  size_t page_stride = 0;            // bytes from one page's start to the next (multiple of 16)
  std::vector<uint8_t> page_memory;  // page_count blocks; operator new aligns to 16
  int32_t visible_page = 0;
  std::vector<uint8_t> dirty_rows;      // one flag per row of the visible page
  std::array<uint32_t, 256> palette{};  // red bits 0-7, green 8-15, blue 16-23
  int32_t text_columns = 0;
  int32_t text_rows = 0;
  TextState text;
  std::vector<TextCell> cells;  // page_count x text_rows x text_columns, row-major per page
};

// The text viewport (1-based rows, inclusive). 0 means "not set": first reads
// as 1 and last as the grid's last row. It outlives screens.
struct TextViewport {
  int32_t first = 0;
  int32_t last = 0;
};

// The open screen, or null.
PagedScreen* screen_current();
TextViewport& text_viewport();

// Start of page `page` (no range check).
inline uint8_t* screen_page(PagedScreen& screen, int32_t page) {
  return screen.page_memory.data() + static_cast<size_t>(page) * screen.page_stride;
}

// The default 16-colour palette, red in bits 0-7, green 8-15, blue 16-23.
extern const std::array<uint32_t, 16> DEFAULT_PALETTE;

// Returns previous visible page x 256 + previous work page, or -1 with no screen.
int32_t screen_set_pages(int32_t work, int32_t visible);
int32_t screen_copy_page(int32_t from, int32_t to);

// Makes `screen` the open screen (null: none). Only while no window thread
// runs: screen_open and screen_release call it around the window side.
void screen_set_current(std::unique_ptr<PagedScreen> screen);

// Marks rows first..last (clamped to the page) for presentation, but only when
// the drawing target is the screen and the work page is the visible page.
// Caller holds the screen lock.
void screen_mark_rows(int32_t first, int32_t last);

// Sets every dirty flag (caller holds the screen lock).
void screen_mark_all_rows();

// Rows of the window that one presentation rewrote; first == -1 when none.
struct PresentedRows {
  int32_t first = -1;
  int32_t last = -1;
};

// Window side only, screen lock held. Converts the dirty rows of the visible
// page through `colours` (256 entries already in the window's pixel format)
// into `pixels` (row stride `stride` pixels) and clears every flag.
PresentedRows present_dirty_rows(const uint32_t* colours, uint32_t* pixels, int32_t stride);

}  // namespace runtime
