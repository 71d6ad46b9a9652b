// screen_clear: the graphics page or, with no screen open, the console.
#include <algorithm>
#include <cstring>

#include "runtime/text/screen_clear.h"

#include "runtime/screen/draw_state.h"
#include "runtime/screen/paged_screen.h"
#include "runtime/screen/results.h"
#include "runtime/screen/screen_lock.h"
#include "runtime/text/console.h"
#include "runtime/text/text_grid.h"
#include "runtime/text/text_output.h"

namespace runtime {

void screen_clear(int32_t mode) {
  PagedScreen* screen = screen_current();
  if (!screen) {
    console_clear(mode);
    return;
  }
  DrawState* draw = draw_select_target(nullptr);
  if (!draw) return;

  int32_t first = 1;
  int32_t last = screen->text_rows;
  viewport_bounds(screen->text_rows, first, last);
  const bool whole_grid = first == 1 && last == screen->text_rows;
  // Pixel rows and text rows to clear; the default covers the whole page.
  // Mode 1 clears the pixels of the clip rectangle, which on the screen is
  // always the whole page, and leaves the text and the cursor.
  int32_t from_px = 0;
  int32_t to_px = screen->height - 1;
  int32_t from_row = 0;
  int32_t to_row = screen->text_rows - 1;
  if (mode == 2 || (mode == ARG_OMITTED && !whole_grid)) {
    TextFrame frame;
    if (text_frame(*screen, frame)) {
      from_row = frame.top;
      to_row = frame.bottom;
      from_px = frame.top * 8;
      to_px = frame.bottom * 8 + 7;
    }
  }

  screen_lock();
  const int32_t bpp = draw->bytes_per_pixel;
  if (from_px == 0 && to_px == screen->height - 1 && bpp == 1) {
    // Page rows have no slack: one fill covers the page.
    std::memset(draw->rows[0], static_cast<int>(draw->background & 0xFF),
                static_cast<size_t>(screen->pitch) * static_cast<size_t>(screen->height));
  } else {
    for (int32_t y = from_px; y <= to_px; ++y) {
      fill_pixels(draw->rows[static_cast<size_t>(y)], screen->width, draw->background, bpp);
    }
  }
  if (mode != 1) {
    blank_cells(*screen, draw->work_page, from_row, to_row, draw->foreground, draw->background);
  }
  screen_mark_rows(from_px, to_px);
  if (mode != 1) {
    screen->text.pending_wrap = false;
    screen->text.cursor_column = 0;
    screen->text.cursor_row = first - 1;
  }
  screen_unlock();
}

}  // namespace runtime
