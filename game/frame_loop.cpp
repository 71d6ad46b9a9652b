#include "game/frame_loop.h"

#include "game/collision.h"
#include "game/key_step.h"
#include "game/loader.h"
#include "game/view.h"
#include "runtime/screen/boxes.h"
#include "runtime/screen/images.h"
#include "runtime/screen/paged_screen.h"
#include "runtime/screen/pixels.h"
#include "runtime/screen/screen_lock.h"
#include "runtime/screen/screen_open.h"
#include "runtime/text/screen_clear.h"
#include "runtime/text/text_output.h"

namespace game {

using namespace runtime;

namespace {

// Rows of 8 x 8 text cells on the screen.
constexpr int32_t TEXT_ROWS = SCREEN_HEIGHT / 8;

constexpr double ANIMATION_PERIOD = 0.2;

// Play is entered from the start, and one key step moves one cell at most:
// the player is still on the page then, so no clamp is needed.
static_assert(START_X >= 1 && START_X <= SCREEN_WIDTH - 2 && START_Y >= 1 &&
              START_Y <= SCREEN_HEIGHT - 2);

}  // namespace

bool start_up(GameState& state, const GameSettings& settings) {
  state.settings = &settings;
  if (screen_open(SCREEN_WIDTH, SCREEN_HEIGHT, SCREEN_DEPTH, SCREEN_PAGES, 0, 0) != RESULT_OK) {
    return false;
  }
  screen_set_pages(WORK_PAGE, DISPLAY_PAGE);
  text_view(1, TEXT_ROWS);
  text_colour(WHITE, BLACK, 0);
  screen_clear(ARG_OMITTED);
  state.position.x = START_X;
  state.position.y = START_Y;
  for (size_t slot = 0; slot < ASSET_SIZES.size(); ++slot) {
    load_mem_image(settings.asset_paths[slot], ASSET_SIZES[slot].width, ASSET_SIZES[slot].height,
                   state.assets[slot]);
  }
  return true;
}

void enter_play(GameState& state) {
  PlayerPosition& p = state.position;
  screen_copy_page(WORK_PAGE, MAP_PAGE);
  screen_clear(ARG_OMITTED);
  key_step(state.key, p.x, p.y, p.previous_x, p.previous_y);
}

void animation_check(GameState& state) {
  // The stamp is a double like the clock: a float cannot hold a reading of a
  // system that has been up for weeks to within the period.
  if (state.clock() - state.animation_stamp > ANIMATION_PERIOD) {
    state.animation_stamp = state.clock();
    state.animation_phase ^= 1;
  }
}

void frame_step(GameState& state) {
  PlayerPosition& p = state.position;
  // One hold of the screen lock for the whole frame: every operation below
  // would take and release it on its own, over two hundred times a frame,
  // and nesting makes those inner holds free. The window side's tick then
  // waits at most one frame, a few microseconds, and gets the lock first at
  // the release (the lock hands over in arrival order).
  screen_lock();
  key_step(state.key, p.x, p.y, p.previous_x, p.previous_y);
  animation_check(state);
  view_sample(state.view, p.x, p.y);
  draw_line(nullptr, 0, 0, SCREEN_WIDTH - 1, SCREEN_HEIGHT - 1, BLACK, LINE_SHAPE_FILLED_BOX,
            LINE_STYLE_SOLID, COORDINATES_PLAIN);
  view_draw(state.view, state.animation_phase, state.assets);
  collision_step(state.view, p.x, p.y, p.previous_x, p.previous_y, state.block_flags,
                 state.settings->show_readout);
  draw_line(nullptr, 0, 0, VIEW_WIDTH, VIEW_HEIGHT, WHITE, LINE_SHAPE_BOX, LINE_STYLE_SOLID,
            COORDINATES_PLAIN);
  image_put(nullptr, PLAYER_CELL_X, PLAYER_CELL_Y, state.assets[PLAYER], ARG_OMITTED, ARG_OMITTED,
            ARG_OMITTED, ARG_OMITTED, COORDINATES_PLAIN, PUT_OR, -1, nullptr, 0);
  screen_copy_page(WORK_PAGE, DISPLAY_PAGE);
  screen_unlock();
}

}  // namespace game
