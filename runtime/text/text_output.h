// Text output: 8x8 character cells drawn into the work page while a graphics
// screen is open, the text console otherwise; the text viewport and cursor.
//
// The TextState and cell records live in the open PagedScreen (paged_screen.h);
// the viewport and the console's colours outlive screens. Game's thread only.
// Drawing holds the screen lock for the whole of one write.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace runtime {

// Rows first..last (1-based, inclusive) become the viewport; the cursor goes
// to column 1 of row first. 0 means row 1 / the last row; a negative value
// keeps that end. Returns last x 65536 + first, or 0 when refused.
int32_t text_view(int32_t first, int32_t last);

// Flags bit 0 keeps the foreground, bit 1 the background. Returns the
// previous colours as background x 65536 + foreground.
int32_t text_colour(int32_t foreground, int32_t background, int32_t flags);

// 1-based row and column, 0 keeps that coordinate; a position outside the
// viewport or the grid leaves the cursor put. `cursor` (-1 keep, 0 hide,
// 1 show) matters on the console only; `start` and `stop` (the cursor's
// shape) are taken and ignored. Clears the pending wrap. Returns row x 256 +
// column, plus 65536 on the console while its cursor shows.
int32_t text_locate(int32_t row, int32_t column, int32_t cursor = -1, int32_t start = 0,
                    int32_t stop = 0);

// File 0 is the screen (the console while none is open); other files are
// ignored. Mask bit 4 adds a space after the digits, bits 0 and 2 a carriage
// return and line feed, bit 1 advances to the next 14-column print zone.
void print_int(int32_t file, int32_t value, int32_t mask);
void print_text(int32_t file, std::string_view text, int32_t mask);

// " 5", " 0", "-3": a sign place, then the digits.
std::string format_int(int32_t value);

// Writes a byte run at the cursor: bell, backspace, tab, line feed and
// carriage return act; every other byte is drawn with its glyph.
void text_write(std::string_view bytes);

}  // namespace runtime
