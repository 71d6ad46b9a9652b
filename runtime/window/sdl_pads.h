// The SDL back ends' game pads: SDL's game controllers (its mapping database,
// plus SDL_GAMECONTROLLERCONFIG and SDL_GAMECONTROLLERCONFIG_FILE for pads it
// does not know), opened as they are plugged in and sampled into the pad
// mapping (pad_keys.h) at every tick.
//
// The pads belong to the window side, not to one window: they stay open
// while a window is remade (full screen, a lost window), so a direction held
// across the switch is not taken for a new press. Window side's thread only,
// inside a tick (screen lock held) where it posts keys.
#pragma once

#include <cstdint>

union SDL_Event;

namespace runtime {

// Starts SDL's game controller support if it is not up; the pads already
// plugged in arrive as device events. Nothing happens to the window if it
// cannot start: there are no pads then.
void sdl_pads_open();

// Handles pads plugged in and pulled out; other events are ignored. A pad
// pulled out mid-step leaves no direction held.
void sdl_pads_handle(const SDL_Event& event);

// Samples every open pad at `now_ms` (a monotonic millisecond count) and
// posts the keys they give; while the window is not `active` (the keyboard
// goes elsewhere), posts nothing and forgets every held direction.
void sdl_pads_sample(bool active, int64_t now_ms);

// Closes every pad and ends SDL's game controller support: the window side
// is over.
void sdl_pads_close();

}  // namespace runtime
