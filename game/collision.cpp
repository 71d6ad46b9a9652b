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

void collision_flags(TileCode t, BlockFlags& flags) {
  flags[1] = t >= TILE_BRICK;
  flags[2] = t <= TILE_FLAME;
  flags[3] = t == TILE_OFF_PAGE;
  flags[4] = t == TILE_SKULL;
  // Off the page, brick, flame and skull block; floor, the open flame and
  // outlined cells can be walked on.
  flags[5] = (flags[1] && flags[2]) || flags[3] || flags[4];
}

bool tile_blocks(TileCode t) {
  BlockFlags flags{};
  collision_flags(t, flags);
  return flags[5] != 0;
}

void collision_step(const ViewGrid& grid, int32_t& x, int32_t& y, int32_t previous_x,
                    int32_t previous_y, BlockFlags& flags, bool show_readout) {
  collision_flags(grid[PLAYER_COLUMN][PLAYER_ROW], flags);
  if (flags[5]) {
    x = previous_x;
    y = previous_y;
    return;
  }
  if (!show_readout) return;
  text_locate(READOUT_ROW, 1, -1, 0, 0);
  print_int(0, x, 0);
  print_text(0, ",", 0);
  print_int(0, y, 0);
  draw_line(nullptr, PLAYER_CELL_X, PLAYER_CELL_Y, PLAYER_CELL_X + TILE_SIZE,
            PLAYER_CELL_Y + TILE_SIZE, WHITE, LINE_SHAPE_BOX, LINE_STYLE_SOLID, COORDINATES_PLAIN);
}

}  // namespace game
