// key_poll: the game's side of the KeyBuffer. Takes the oldest waiting key out
// and gives it as a KeyString (0, 1 or 2 bytes), with the screen lock held.
// Game's thread only; key_take and key_string (key_buffer.h) are the pieces it
// is made of.
#pragma once

#include <string>

#include "runtime/input/key_buffer.h"

namespace runtime {

// The oldest waiting key, or "" when none waits or no screen is open. Never
// waits for input; waits only while the window side holds the screen lock.
std::string key_poll();

}  // namespace runtime
