// key_poll: the game's side of the KeyBuffer. Takes the oldest waiting key out
// and gives it as a KeyString (0, 1 or 2 bytes). key_poll is for the game's
// thread; key_take and key_string are the pure pieces it is made of.
#pragma once

#include <string>

#include "runtime/input/key_buffer.h"

namespace runtime {

// The oldest waiting key, or "" when none waits or no screen is open. Never
// waits for input; waits only while the window side holds the screen lock.
std::string key_poll();

// Removes and returns the oldest key of `buffer`, 0 when it is empty. Caller
// holds the screen lock when `buffer` is the process's KeyBuffer.
KeyCode key_take(KeyBuffer& buffer);

// The KeyString form of a code: "" for 0, one byte for 1..255, else the two
// bytes code mod 256 and (code / 256) mod 256. "" when it cannot be allocated.
std::string key_string(KeyCode code);

}  // namespace runtime
