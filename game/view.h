// The view: the 15 x 7 cells around the player, sampled from the map page
// and drawn as tiles on the work page. Game thread only.
#pragma once

#include <cstdint>

#include "game/game_state.h"

namespace game {

// Restores the work page from the map page and reads the cells around (x, y).
void view_sample(ViewGrid& grid, int32_t x, int32_t y);

// Draws one picture (XOR) or a white outline per cell on the work page.
void view_draw(const ViewGrid& grid, int32_t animation_phase, const AssetSet& assets);

}  // namespace game
