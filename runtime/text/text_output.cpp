// Text on the graphics screen: viewport, colours, cursor, number formatting
// and the byte-run writer with its wrapping and scrolling.
#include <algorithm>
#include <cstring>

#include "runtime/screen/draw_state.h"
#include "runtime/screen/paged_screen.h"
#include "runtime/screen/screen_lock.h"
#include "runtime/text/console.h"
#include "runtime/text/font_table.h"
#include "runtime/text/text_grid.h"
#include "runtime/text/text_output.h"

namespace runtime {
namespace {

constexpr int32_t PRINT_ZONE = 14;
constexpr int32_t TAB_STOP = 8;

int32_t pack(int64_t high, int64_t low) {
  // Results are defined as high x 65536 + low; wrap like the 32-bit result.
  return static_cast<int32_t>(static_cast<uint32_t>(high * 65536 + low));
}

// Pixel rows touched by one write, for the dirty flags.
struct RowSpan {
  int32_t first = INT32_MAX;
  int32_t last = -1;
  void add(int32_t from, int32_t to) {
    first = std::min(first, from);
    last = std::max(last, to);
  }
};

struct Writer {
  PagedScreen& screen;
  DrawState& draw;
  TextFrame frame;
  RowSpan dirty;
  int32_t x = 0;
  int32_t y = 0;

  void draw_cell(uint8_t character) {
    const Glyph& glyph = FONT_GLYPHS[character];
    const uint32_t fg = draw.foreground;
    const uint32_t bg = draw.background;
    const int32_t bpp = draw.bytes_per_pixel;
    const int32_t px = x * 8;
    const int32_t py = y * 8;
    for (int32_t r = 0; r < 8; ++r) {
      uint8_t* row = draw.rows[static_cast<size_t>(py) + static_cast<size_t>(r)];
      const uint8_t bits = glyph[static_cast<size_t>(r)];
      if (bpp == 1) {
        for (int32_t b = 0; b < 8; ++b) {
          row[px + b] = static_cast<uint8_t>((bits >> b) & 1 ? fg : bg);
        }
      } else {
        for (int32_t b = 0; b < 8; ++b) {
          fill_pixels(row + static_cast<size_t>(px + b) * static_cast<size_t>(bpp), 1,
                      (bits >> b) & 1 ? fg : bg, bpp);
        }
      }
    }
    cell_row(screen, draw.work_page, y)[x] =
        TextCell{character, static_cast<uint8_t>(fg), static_cast<uint8_t>(bg)};
    dirty.add(py, py + 7);
  }

  // Moves the viewport's contents up by `n` text rows; the cursor row
  // becomes the bottom row.
  void scroll(int32_t n) {
    const int32_t height = frame.bottom - frame.top + 1;
    const int32_t bpp = draw.bytes_per_pixel;
    const int32_t pixels = screen.text_columns * 8;
    const size_t row_bytes = static_cast<size_t>(pixels) * static_cast<size_t>(bpp);
    const int32_t kept = std::max(height - n, 0);
    const int32_t top_px = frame.top * 8;
    const int32_t end_px = (frame.bottom + 1) * 8;
    for (int32_t py = top_px; py < top_px + kept * 8; ++py) {
      std::memmove(draw.rows[static_cast<size_t>(py)],
                   draw.rows[static_cast<size_t>(py) + static_cast<size_t>(n) * 8], row_bytes);
    }
    for (int32_t py = top_px + kept * 8; py < end_px; ++py) {
      fill_pixels(draw.rows[static_cast<size_t>(py)], pixels, draw.background, bpp);
    }
    const size_t cell_bytes = static_cast<size_t>(screen.text_columns) * sizeof(TextCell);
    for (int32_t row = frame.top; row < frame.top + kept; ++row) {
      std::memmove(cell_row(screen, draw.work_page, row), cell_row(screen, draw.work_page, row + n),
                   cell_bytes);
    }
    blank_cells(screen, draw.work_page, frame.top + kept, frame.bottom, draw.foreground,
                draw.background);
    dirty.add(top_px, end_px - 1);
    y = frame.bottom;
  }

  void scroll_if_below() {
    if (y > frame.bottom) scroll(y - frame.bottom);
  }

  void next_row() {
    // Rows past the bottom only count up to one viewport height: scrolling by
    // more clears no more, and the count can then never overflow.
    const int32_t limit = frame.bottom + (frame.bottom - frame.top + 1);
    if (y < limit) ++y;
  }

  void character(uint8_t value) {
    scroll_if_below();
    draw_cell(value);
    if (++x > frame.right) {
      x = frame.left;
      next_row();
    }
  }
};

void finish_mask(int32_t mask, int32_t column) {
  if (mask & 2) text_write(std::string(static_cast<size_t>(PRINT_ZONE - column % PRINT_ZONE), ' '));
  if (mask & 5) text_write("\r\n");
}

int32_t cursor_column_now() {
  if (const PagedScreen* screen = screen_current()) return screen->text.cursor_column;
  return console_state().cursor_column;
}

}  // namespace

int32_t text_view(int32_t first, int32_t last) {
  const PagedScreen* screen = screen_current();
  int32_t rows = screen ? screen->text_rows : console_state().rows;
  if (rows == 0) rows = 25;
  int32_t current_first = 1;
  int32_t current_last = rows;
  viewport_bounds(rows, current_first, current_last);
  if (first < 0 && last < 0) return pack(current_last, current_first);
  first = first < 0 ? current_first : first == 0 ? 1 : first;
  last = last < 0 ? current_last : last == 0 ? rows : last;
  if (!(first <= last && last <= rows && first <= rows)) return 0;
  text_viewport() = TextViewport{first, last};
  text_locate(first, 1);
  return pack(last, first);
}

int32_t text_colour(int32_t foreground, int32_t background, int32_t flags) {
  const PagedScreen* screen = screen_current();
  if (!screen) return console_colour(foreground, background, flags);
  DrawState* draw = draw_select_target(nullptr);
  const int32_t previous = pack(draw->background, draw->foreground);
  const uint32_t mask = pixel_mask(screen->bytes_per_pixel);
  if ((flags & 1) == 0) draw->foreground = static_cast<uint32_t>(foreground) & mask;
  if ((flags & 2) == 0) draw->background = static_cast<uint32_t>(background) & mask;
  return previous;
}

int32_t text_locate(int32_t row, int32_t column, int32_t cursor, int32_t /*start*/,
                    int32_t /*stop*/) {
  PagedScreen* screen = screen_current();
  if (!screen) return console_locate(row, column, cursor);
  int32_t first = 1;
  int32_t last = screen->text_rows;
  viewport_bounds(screen->text_rows, first, last);
  const bool rejected = (row != 0 && (row < first || row > last)) ||
                        (column != 0 && (column < 1 || column > screen->text_columns));
  TextState& text = screen->text;
  text.pending_wrap = false;
  if (!rejected) {
    if (column != 0) text.cursor_column = column - 1;
    if (row != 0) text.cursor_row = row - 1;
  }
  return (text.cursor_row + 1) * 256 + (text.cursor_column + 1);
}

std::string format_int(int32_t value) {
  // Through 64 bits so that the most negative value has a positive twin.
  const int64_t wide = value;
  std::string digits = std::to_string(wide < 0 ? -wide : wide);
  return (value < 0 ? "-" : " ") + digits;
}

void print_int(int32_t file, int32_t value, int32_t mask) {
  if (file != 0) return;
  std::string bytes = format_int(value);
  if (mask & 16) bytes.push_back(' ');
  text_write(bytes);
  if (mask & 7) finish_mask(mask, cursor_column_now());
}

void print_text(int32_t file, std::string_view text, int32_t mask) {
  if (file != 0) return;
  if (!text.empty()) text_write(text);
  if (mask & 7) finish_mask(mask, cursor_column_now());
}

void text_write(std::string_view bytes) {
  PagedScreen* screen = screen_current();
  if (!screen) {
    console_write(bytes);
    return;
  }
  DrawState* draw = draw_select_target(nullptr);
  TextFrame frame;
  if (bytes.empty() || !draw || !text_frame(*screen, frame)) return;

  screen_lock();
  Writer out{*screen, *draw, frame, {}, 0, 0};
  TextState& text = screen->text;
  out.x = std::clamp(text.cursor_column, frame.left, frame.right);
  out.y = std::clamp(text.cursor_row, frame.top, frame.bottom);
  if (text.pending_wrap) {
    text.pending_wrap = false;
    out.x = frame.left;
    out.next_row();
    out.scroll_if_below();
  }

  bool drew_last = false;
  for (const char byte : bytes) {
    const auto value = static_cast<uint8_t>(byte);
    drew_last = false;
    switch (value) {
      case 7:
        console_emit_control("\a");
        break;
      case 8:
        if (out.x > frame.left) --out.x;
        break;
      case 9: {
        const int32_t spaces = TAB_STOP - out.x % TAB_STOP;
        for (int32_t i = 0; i < spaces; ++i) out.character(' ');
        drew_last = true;
        break;
      }
      case 10:
        out.x = frame.left;
        out.next_row();
        break;
      case 13:
        out.x = frame.left;
        break;
      default:
        out.character(value);
        drew_last = true;
        break;
    }
  }

  if (drew_last && out.x == frame.left && out.y == frame.bottom + 1) {
    // The run filled the viewport's last cell: hold the scroll back until
    // more text comes, so a full last row stays on screen.
    out.x = frame.right;
    out.y = frame.bottom;
    text.pending_wrap = true;
  } else {
    out.scroll_if_below();
  }
  text.cursor_column = out.x;
  text.cursor_row = out.y;
  screen_mark_rows(out.dirty.first, out.dirty.last);  // nothing when nothing was drawn
  screen_unlock();
  if (bytes.find('\a') != std::string_view::npos) console_flush();
}

}  // namespace runtime
