// The text console the program was started from: its colours, size, cursor and
// the ANSI/xterm control sequences that express them. Text operations come here
// while no graphics screen is open.
//
// Control sequences are written only when standard output is a terminal, so
// output redirected to a file or a pipe carries no escape bytes. Game's thread
// only (the window thread never touches the console).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace runtime {

struct ConsoleState {
  int32_t foreground = 7;  // palette order: 1 blue, 2 green, 4 red, 8 bright
  int32_t background = 0;
  int32_t columns = 0;  // 0 until first asked; then the terminal's size or 80 x 25
  int32_t rows = 0;
  int32_t cursor_row = 0;  // 0-based, as far as this program moved it
  int32_t cursor_column = 0;
  // A character was written in the last column: as a terminal does, the
  // cursor stays there and the next character starts the next line.
  bool pending_wrap = false;
  bool cursor_visible = true;
};

// The console's state, with its size filled in on first use.
ConsoleState& console_state();

// ANSI colour number (0..7, ANSI's order: 1 red, 4 blue) of the low three bits
// of a palette-order colour.
int32_t ansi_colour(int32_t palette_colour);
// SGR sequence for foreground/background in palette order (0..15 each).
std::string ansi_attribute(int32_t foreground, int32_t background);
std::string ansi_resize(int32_t columns, int32_t rows);
std::string ansi_cursor_to(int32_t row, int32_t column);  // 1-based
std::string ansi_cursor_visibility(bool visible);

// True when console output goes to a terminal (or to the test capture).
bool console_is_terminal();
// Bytes only a terminal should see: dropped when output is redirected.
void console_emit_control(std::string_view bytes);

// The console halves of the text operations (see text.h for the contracts).
void console_write(std::string_view bytes);
int32_t console_colour(int32_t foreground, int32_t background, int32_t flags);
int32_t console_locate(int32_t row, int32_t column, int32_t cursor);
void console_clear(int32_t mode);
// Sets the size (a value below 1 keeps that dimension); asks the terminal to
// follow. The cursor is kept inside the new size.
void console_resize(int32_t columns, int32_t rows);
void console_flush();

// Test seam, never used by the programs: while `sink` is non-null, console
// output is appended to it instead of standard output and the console counts
// as a terminal of `columns` x `rows` (the state is reset to program start).
void console_capture(std::string* sink, int32_t columns = 80, int32_t rows = 25);

}  // namespace runtime
