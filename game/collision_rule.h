// The collision rule alone: which cell codes the player cannot stand on.
// Pure, so the datapack checker (also in the page) judges a map by the very
// rule the game plays by without linking the screen. Any thread.
#pragma once

#include "game/game_state.h"

namespace game {

// The five terms of the collision rule for the cell code t; flags[5] is set
// when t blocks. Codes -1, 1, 2 and 4 block; 0, 3 and 5 and up can be walked on.
void collision_flags(TileCode t, BlockFlags& flags);

// True when the player cannot stand on a cell of code t.
bool tile_blocks(TileCode t);

}  // namespace game
