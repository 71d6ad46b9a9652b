// Opening and closing the screen: the one place where the paged screen starts
// and ends the window side. Built as its own library above the window side,
// which presents the pages, so that no two libraries link each other.
// Game's thread only.
#pragma once

#include <cstdint>

namespace runtime {

// Refuses a size or depth it cannot make (RESULT_ILLEGAL_CALL), closes any
// open screen, makes the pages, opens the window and loads the default
// palette. RESULT_ILLEGAL_CALL when no window can be opened.
int32_t screen_open(int32_t width, int32_t height, int32_t depth, int32_t pages, int32_t flags,
                    int32_t refresh);

// Closes the window and releases the open screen's state; no-op with no screen.
// screen_open, screen_close and program_end all end a screen through this.
void screen_release();

}  // namespace runtime
