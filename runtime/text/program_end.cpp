// Leaving the graphics screen: screen_close, the console size, the end of the
// process and the game's exit sequence.
#include <cstdlib>

#include "runtime/text/program_end.h"

#include "runtime/screen/paged_screen.h"
#include "runtime/screen/results.h"
#include "runtime/screen/screen_open.h"
#include "runtime/text/console.h"
#include "runtime/text/screen_clear.h"
#include "runtime/text/text_output.h"

namespace runtime {
namespace {

// The viewport becomes the whole console; the cursor is not moved.
void viewport_to_console() { text_viewport() = TextViewport{1, console_state().rows}; }

}  // namespace

int32_t screen_close(int32_t /*mode*/, int32_t /*depth*/, int32_t /*pages*/, int32_t /*flags*/,
                     int32_t /*refresh*/) {
  // The window goes first, so no tick can present or post a key once the
  // pages are gone; screen_release does both in that order.
  screen_release();
  console_width(80, 25);
  console_clear(0);
  viewport_to_console();
  console_flush();
  return RESULT_OK;
}

int32_t console_width(int32_t columns, int32_t rows) {
  ConsoleState& console = console_state();
  if (columns < 1 && rows < 1) {
    return static_cast<int32_t>(static_cast<uint32_t>(console.columns & 0xFFFF) |
                                (static_cast<uint32_t>(console.rows & 0xFFFF) << 16));
  }
  console_resize(columns, rows);
  // The viewport and cursor start afresh, on the graphics screen's text grid
  // while one is open.
  text_view(0, 0);
  console_flush();
  return 0;
}

void program_end(int32_t code) {
  // The window goes before the process does; nothing reads the text state
  // after this.
  if (screen_current()) screen_release();
  console_flush();
  std::exit(code);
}

void console_restore() {
  screen_close(0, 0, 0, 0, 0);
  console_width(80, -1);
  text_colour(15, 1, 0);
  screen_clear(ARG_OMITTED);
  program_end(0);
}

}  // namespace runtime
