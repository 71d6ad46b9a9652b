#include "game/collision_rule.h"

namespace game {

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

}  // namespace game
