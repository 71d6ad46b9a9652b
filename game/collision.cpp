#include "game/collision.h"

#include "game/view.h"
#include "runtime/screen/boxes.h"
#include "runtime/text/text_output.h"

namespace game {

using namespace runtime;

void collision_flags(TileCode t, BlockFlags& flags) {
  flags[1] = t >= 1;
  flags[2] = t <= 2;
  flags[3] = t == -1;
  flags[4] = t == 4;
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
  text_locate(20, 1, -1, 0, 0);
  print_int(0, x, 0);
  print_text(0, ",", 0);
  print_int(0, y, 0);
  draw_line(nullptr, 112, 48, 128, 64, 15, 1, 0xFFFF, 0);
}

}  // namespace game
