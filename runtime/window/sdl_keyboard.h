// The keyboard side of the SDL back ends: turns SDL_KEYDOWN and SDL_TEXTINPUT
// events into KeyCodes posted to the KeyBuffer, through the PC key tables.
// Window thread only, with the screen lock held (inside a tick), since it
// posts with key_post and keeps a little state between a key-down and the
// text it types.
#pragma once

#include <cstdint>

#include "runtime/input/key_translation.h"

union SDL_Event;

namespace runtime {

enum class KeyEventResult {
  NONE,
  TOGGLE_FULL_SCREEN,  // Alt+Enter: the caller runs the full-screen switch
};

// Handles one event of any type (those that are not key-downs or typed text
// are ignored). Must be called for events in the order they were queued:
// a key-down looks at the event queued right after it for the text it types.
KeyEventResult sdl_keyboard_handle(const SDL_Event& event);

// An SDL_Scancode (a USB HID usage) as a set-1 key; not known for a key a PC
// board lacks.
Set1Key sdl_scancode_to_set1(int32_t scancode);

}  // namespace runtime
