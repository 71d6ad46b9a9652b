// Closing the screen, the return to the text console and the end of the
// program. Game's thread only.
#pragma once

#include <cstdint>

namespace runtime {

// Closes the graphics screen (if any) and resets the console to 80 x 25,
// cleared. Always RESULT_OK.
int32_t screen_close(int32_t mode, int32_t depth, int32_t pages, int32_t flags, int32_t refresh);

// Sets the console size (a value below 1 keeps that dimension), resets the
// text viewport and cursor as text_view(0, 0) does (on the graphics screen
// while one is open) and returns 0; with both below 1 returns
// columns + rows x 65536 and changes nothing.
int32_t console_width(int32_t columns, int32_t rows);

// Closes a screen still open, flushes output and ends the process.
[[noreturn]] void program_end(int32_t code);

// The game's exit: back to a blank bright-white-on-blue 80-column console,
// exit code 0.
[[noreturn]] void console_restore();

}  // namespace runtime
