// The Windows console device: standard output, which is a console when the
// program runs in cmd.exe, PowerShell or Windows Terminal. Windows 10 and 11
// consoles interpret the same control sequences as a Linux terminal once
// asked to (virtual terminal processing), so the console's bytes go out
// unchanged; output is binary, so a line ends in LF as on Linux also in a
// file or a pipe, and the console shows the bytes as UTF-8 while the program
// runs (its code page is put back at exit, as the console is the shell's).
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "runtime/text/console_device.h"

namespace runtime {
namespace {

UINT shell_code_page = 0;

void restore_code_page() { SetConsoleOutputCP(shell_code_page); }

// The output handle when it is a console that interprets control sequences,
// else null. Asked once: the handle does not change while the program runs.
HANDLE terminal() {
  static const HANDLE handle = [] {
    _setmode(_fileno(stdout), _O_BINARY);
    HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD mode = 0;
    if (out == nullptr || out == INVALID_HANDLE_VALUE || GetConsoleMode(out, &mode) == 0) {
      return HANDLE{nullptr};
    }
    // A console older than Windows 10 refuses the mode: it would print the
    // sequences as text, so it counts as no terminal.
    if (SetConsoleMode(out, mode | ENABLE_PROCESSED_OUTPUT | ENABLE_VIRTUAL_TERMINAL_PROCESSING) ==
        0) {
      return HANDLE{nullptr};
    }
    shell_code_page = GetConsoleOutputCP();
    if (shell_code_page != CP_UTF8 && SetConsoleOutputCP(CP_UTF8) != 0) {
      std::atexit(restore_code_page);
    }
    return out;
  }();
  return handle;
}

}  // namespace

bool console_device_is_terminal() { return terminal() != nullptr; }

bool console_device_size(int32_t& columns, int32_t& rows) {
  CONSOLE_SCREEN_BUFFER_INFO info{};
  if (terminal() == nullptr || GetConsoleScreenBufferInfo(terminal(), &info) == 0) return false;
  // The visible window, as a terminal's size is on Linux, not the buffer.
  const int32_t width = info.srWindow.Right - info.srWindow.Left + 1;
  const int32_t height = info.srWindow.Bottom - info.srWindow.Top + 1;
  if (width <= 0 || height <= 0) return false;
  columns = width;
  rows = height;
  return true;
}

void console_device_write(std::string_view bytes) {
  static_cast<void>(terminal());  // binary mode before the first byte
  std::fwrite(bytes.data(), 1, bytes.size(), stdout);
}

void console_device_flush() { std::fflush(stdout); }

}  // namespace runtime
