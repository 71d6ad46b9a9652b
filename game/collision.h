// The collision rule and the position readout. Game thread only.
#pragma once

#include <cstdint>

#include "game/game_state.h"

namespace game {

// The five terms of the collision rule for the cell code t; flags[5] is set
// when t blocks. Codes -1, 1, 2 and 4 block; 0, 3 and 5 and up can be walked on.
void collision_flags(TileCode t, BlockFlags& flags);

// True when the player cannot stand on a cell of code t.
bool tile_blocks(TileCode t);

// Judges the cell under the player (grid centre): a blocked step puts the
// player back; an allowed one is shown, when `show_readout`, as the position
// text at row 20 and a box around the player's cell.
void collision_step(const ViewGrid& grid, int32_t& x, int32_t& y, int32_t previous_x,
                    int32_t previous_y, BlockFlags& flags, bool show_readout);

}  // namespace game
