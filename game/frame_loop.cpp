#include "game/frame_loop.h"

#include "runtime/screen/paged_screen.h"

namespace game {

using namespace runtime;

bool start_up(GameState& state, const GameSettings& settings) {
  state = GameState{};
  state.settings = &settings;
  if (screen_open(320, 200, 4, 8, 0, 0) != RESULT_OK) return false;
  screen_set_pages(WORK_PAGE, DISPLAY_PAGE);
  return true;
}

void enter_play(GameState&) { screen_copy_page(WORK_PAGE, MAP_PAGE); }

void frame_step(GameState&) { screen_copy_page(WORK_PAGE, DISPLAY_PAGE); }

}  // namespace game
