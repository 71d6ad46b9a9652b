// The program the startup benchmark starts: the game's start-up on the
// headless back end up to its first frame on page 0, then one byte on
// standard output and a quick exit. With --bare it writes the byte at once,
// which times the process start alone.
#include <unistd.h>

#include <cstdlib>
#include <cstring>

#include "game/frame_loop.h"
#include "runtime/screen/paged_screen.h"
#include "runtime/screen/screen_open.h"
#include "runtime/window/headless_back_end.h"

int main(int argc, char** argv) {
  const char done = 'F';
  if (argc > 1 && std::strcmp(argv[1], "--bare") == 0) {
    if (write(1, &done, 1) != 1) return 1;
    return 0;
  }
  static game::GameState state;
  runtime::headless_install();
  if (!game::start_up(state, game::PROGRAM_SETTINGS)) return 1;
  game::enter_play(state);
  game::frame_step(state);
  if (write(1, &done, 1) != 1) return 1;
  runtime::screen_release();
  std::_Exit(0);
}
