// Translation of one key press into a KeyCode, through the dedicated-key table
// and the 89-row scan-code table. Pure functions; any thread.
#pragma once

#include <cstdint>

#include "runtime/input/key_buffer.h"

namespace runtime {

// One key-down as the platform reports it, already in PC terms.
struct KeyPress {
  uint8_t scan_code = 0;   // PC scan code set 1
  bool dedicated = false;  // the separate navigation / arrow block (E0-prefixed keys)
  uint8_t typed = 0;       // code page 437 byte the press types, 0 if none
  uint8_t own = 0;         // the key's own character with no modifier, 0 if none
  bool shift = false;
  bool ctrl = false;
  bool alt = false;
};

// The translation: 0 for no code, 1..255 a character, code x 256 + 255 an
// extended key.
KeyCode key_translate(const KeyPress& press);

// What the key-down event itself posts: the translation when it is an
// extended code, 0 (nothing) otherwise and for every swallowed key (Alt
// without Ctrl, F10, Alt alone, a translation of KEY_CLOSE).
KeyCode key_down_post_code(const KeyPress& press);

}  // namespace runtime
