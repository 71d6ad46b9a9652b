// The desktop's console device: standard output, and the terminal's size
// when it is one.
#include "runtime/text/console_device.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <cstdio>

namespace runtime {

bool console_device_is_terminal() { return isatty(STDOUT_FILENO) == 1; }

bool console_device_size(int32_t& columns, int32_t& rows) {
  winsize size{};
  if (ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) != 0 || size.ws_col == 0 || size.ws_row == 0) {
    return false;
  }
  columns = size.ws_col;
  rows = size.ws_row;
  return true;
}

void console_device_write(std::string_view bytes) {
  std::fwrite(bytes.data(), 1, bytes.size(), stdout);
}

void console_device_flush() { std::fflush(stdout); }

}  // namespace runtime
