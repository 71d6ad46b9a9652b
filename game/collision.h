// The collision rule and the position readout. Game thread only.
#pragma once

#include <cstdint>

#include "game/collision_rule.h"
#include "game/game_state.h"

namespace game {

// Judges the cell under the player (grid centre): a blocked step puts the
// player back; an allowed one is shown, when `show_readout`, as the position
// text at row 20 and a box around the player's cell.
void collision_step(const ViewGrid& grid, int32_t& x, int32_t& y, int32_t previous_x,
                    int32_t previous_y, BlockFlags& flags, bool show_readout);

}  // namespace game
