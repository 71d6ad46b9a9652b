#include "game/collision.h"

#include "game/view.h"
#include "runtime/screen/boxes.h"
#include "runtime/screen/pixels.h"
#include "runtime/text/text_output.h"

namespace game {

using namespace runtime;

namespace {

// The text row of the position readout, just below the view.
constexpr int32_t READOUT_ROW = 20;

}  // namespace

void collision_step(const ViewGrid& grid, int32_t& x, int32_t& y, int32_t previous_x,
                    int32_t previous_y, BlockFlags& flags, bool show_readout) {
  collision_flags(grid[PLAYER_COLUMN][PLAYER_ROW], flags);
  if (flags[5]) {
    x = previous_x;
    y = previous_y;
    return;
  }
  if (!show_readout) return;
  text_locate(READOUT_ROW, 1);
  print_int(0, x, 0);
  print_text(0, ",", 0);
  print_int(0, y, 0);
  draw_line(nullptr, PLAYER_CELL_X, PLAYER_CELL_Y, PLAYER_CELL_X + TILE_SIZE,
            PLAYER_CELL_Y + TILE_SIZE, WHITE, LINE_SHAPE_BOX, LINE_STYLE_SOLID, COORDINATES_PLAIN);
}

}  // namespace game
