// Text output: 8x8 character cells drawn into the work page while a graphics
// screen is open, the text console otherwise; the text viewport and cursor;
// closing the screen, the return to the console and the end of the program.
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
// 1 show) matters on the console only. Clears the pending wrap. Returns
// row x 256 + column, plus 65536 on the console while its cursor shows.
int32_t text_locate(int32_t row, int32_t column, int32_t cursor, int32_t start, int32_t stop);

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

// Clears the work page (or the rows under the text viewport) to the
// background colour and puts the cursor at the viewport's top-left; with no
// screen open, clears the console. Mode ARG_OMITTED is the game's.
void screen_clear(int32_t mode);

// Closes the graphics screen (if any) and resets the console to 80 x 25,
// cleared. Always RESULT_OK.
int32_t screen_close(int32_t mode, int32_t depth, int32_t pages, int32_t flags, int32_t refresh);

// Sets the console size (a value below 1 keeps that dimension) and returns 0;
// with both below 1 returns columns + rows x 65536 and changes nothing.
int32_t console_width(int32_t columns, int32_t rows);

// Closes a screen still open, flushes output and ends the process.
[[noreturn]] void program_end(int32_t code);

// The game's exit: back to a blank bright-white-on-blue 80-column console,
// exit code 0.
[[noreturn]] void console_restore();

}  // namespace runtime
