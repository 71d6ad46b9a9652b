// What one key-down posts, through the dedicated-key table and the 89-row
// scan-code table: the one rule that the desktop and the page share, so the
// same press posts the same keys on both. Pure functions; any thread.
#pragma once

#include <cstdint>

#include "runtime/input/key_buffer.h"

namespace runtime {

// One key-down as the platform reports it, already in PC terms. Nothing else
// of the platform reaches the rule: its text input in particular never
// decides on its own what a Ctrl or Alt combination posts.
struct KeyPress {
  uint8_t scan_code = 0;   // PC scan code set 1; 0 for a key the tables do not know
  bool dedicated = false;  // the separate navigation / arrow block (E0-prefixed keys)
  // The code page 437 byte of the character the layout puts on this press:
  // with Shift, AltGr and Num Lock as held, without Ctrl or Alt. 0 if none
  // (a key that names no character, a dead key).
  uint8_t typed = 0;
  bool shift = false;
  bool ctrl = false;
  bool alt = false;        // either Alt key, as a command
  bool alt_graph = false;  // the Alt that types characters (AltGr): typing, not a command
  bool num_lock = false;
};

// What the key-down posts, in this order: an extended code, then a character.
struct KeyDownPosts {
  KeyCode extended = 0;      // code x 256 + 255, or 0
  uint8_t character = 0;     // 0 for none
  bool full_screen = false;  // Alt+Enter: no post, the full-screen switch instead
};

KeyDownPosts key_down_posts(const KeyPress& press);

// A physical key in PC scan code set 1 terms: the code and whether it carries
// the E0 prefix of the dedicated navigation/arrow block. Each platform names
// its keys its own way and maps them to this.
struct Set1Key {
  bool known = false;
  uint8_t scan_code = 0;
  bool dedicated = false;
};

// The set-1 scan code of the letter key `letter`, 'A' to 'Z' (the callers
// know they hold a letter key). Set 1 follows the rows of the board, where
// the platforms name letter keys alphabetically.
uint8_t set1_letter_scan_code(char letter);

}  // namespace runtime
