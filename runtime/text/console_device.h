// The device the console's output reaches: the process's standard output (a
// terminal, a file or a pipe) on the desktop, the page's console element in a
// browser. The build links one of the two (console_device.cpp,
// console_device_web.cpp). Only the console (console.cpp) calls it, on the
// game's thread.
#pragma once

#include <cstdint>
#include <string_view>

namespace runtime {

// True when the device interprets control sequences, as a terminal does.
bool console_device_is_terminal();

// The device's size in character cells; false when it has none to tell.
bool console_device_size(int32_t& columns, int32_t& rows);

void console_device_write(std::string_view bytes);
void console_device_flush();

}  // namespace runtime
