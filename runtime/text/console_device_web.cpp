// The browser's console device: the page's <div id="console">, run as a small
// terminal (console_device_web.js, built into the page) that understands the
// control sequences the console writes. The page belongs to its main thread,
// so each write runs there while the game's thread waits: the page shows
// every step of the console before the program goes on, or ends.
#include <emscripten.h>

#include "runtime/text/console_device.h"

namespace runtime {

bool console_device_is_terminal() { return true; }

// The page's console takes whatever size the program sets.
bool console_device_size(int32_t& /*columns*/, int32_t& /*rows*/) { return false; }

void console_device_write(std::string_view bytes) {
  if (bytes.empty()) return;
  MAIN_THREAD_EM_ASM({ Module.consoleDevice.write(HEAPU8.slice($0, $0 + $1)); }, bytes.data(),
                     bytes.size());
}

// Every write is shown before it returns.
void console_device_flush() {}

}  // namespace runtime
