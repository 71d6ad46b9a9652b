// The window side as the rest of the runtime sees it: open and close the
// window (and its thread), and hand it palette entries. No SDL here.
// Called from the game's thread only, by the screen module.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace runtime {

// 0 when a window is up and its thread is presenting; nonzero when no back end
// could start.
int32_t window_open(const std::string& title, int32_t width, int32_t height, int32_t depth,
                    int32_t refresh, int32_t flags);

// Ends the window thread and takes the window down. No-op when none is open.
void window_close();

// Caller holds the screen lock and marks the rows dirty itself.
void window_set_palette(int32_t index, uint8_t red, uint8_t green, uint8_t blue);

// The window title for a program path: its last component with everything
// from the last "." removed.
std::string window_title_from_path(std::string_view path);

// Why the last window_open failed (from the platform), for the game's message.
std::string window_last_error();

}  // namespace runtime
