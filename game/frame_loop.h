// Start-up, entering play and one pass of the frame loop. Game thread only.
#pragma once

#include "game/game_state.h"

namespace game {

// Opens the screen, sets the page roles and loads the assets. False when no
// window could be opened (the caller reports it and ends).
bool start_up(GameState& state, const GameSettings& settings);

// Puts the loaded map on the map page and takes the first key step.
void enter_play(GameState& state);

// One frame: key step, animation, view, collision, frame, show.
void frame_step(GameState& state);

}  // namespace game
