// Start-up, entering play and one pass of the frame loop. Game thread only.
#pragma once

#include "game/game_state.h"

namespace game {

// Opens the screen, sets the page roles and loads the six assets. False when
// no window could be opened (the caller reports it and ends).
bool start_up(GameState& state, const GameSettings& settings);

// Puts the loaded map on the map page, clears the work page and takes the
// first key step (Escape here already ends the program).
void enter_play(GameState& state);

// One frame: key step, animation check, view, collision, frame, show.
void frame_step(GameState& state);

// Flips the flame phase when more than 0.2 s passed since the last flip.
void animation_check(GameState& state);

}  // namespace game
