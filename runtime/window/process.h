// What the window side asks of the operating system about the running
// process: process.cpp on POSIX systems (Linux, the browser),
// process_windows.cpp on Windows. Any thread.
#pragma once

#include <string>

namespace runtime {

// The path of the running program's executable file, '/' between folders;
// the name it was started under when the system cannot tell.
std::string process_executable_path();

// Called once a window has opened. On Windows a console program started from
// Explorer gets a console window of its own, which would stand empty beside
// the game: it is let go here. Elsewhere nothing happens.
void process_window_opened();

}  // namespace runtime
