// The programs' entry: start up, enter play, run frames until the key step
// ends the process.
#include <cstdio>

#include "game/frame_loop.h"
#include "runtime/window/window.h"

int main() {
  static game::GameState state;
  if (!game::start_up(state, game::PROGRAM_SETTINGS)) {
    // Without a window the game could only spin unseen; say why and stop.
    std::fprintf(stderr, "%s: cannot open a window: %s\n", runtime::window_program_name().c_str(),
                 runtime::window_last_error().c_str());
    return 1;
  }
  game::enter_play(state);
  for (;;) game::frame_step(state);
}
