// The keyboard side of the browser back end: turns the page's keydown events
// into KeyCodes posted to the KeyBuffer, through the same PC key tables as the
// desktop (key_translation.h). KeyboardEvent.code names the physical key and
// so gives its set-1 scan code and whether it is one of the dedicated
// navigation and arrow keys; KeyboardEvent.key gives the character the press
// types under the user's layout.
//
// Plain C++, no browser calls. Window side only (the page's main thread),
// with the screen lock held, since it posts with key_post.
#pragma once

#include <string_view>

#include "runtime/input/key_translation.h"

namespace runtime {

// One keydown as the page saw it.
struct WebKeyDown {
  std::string_view code;  // KeyboardEvent.code: "KeyA", "Digit8", "Numpad8", "ArrowUp"
  std::string_view key;   // KeyboardEvent.key, UTF-8: the typed character or a key name
  bool shift = false;
  bool ctrl = false;
  bool alt = false;
  bool alt_graph = false;  // the Alt that types characters (getModifierState("AltGraph"))
  bool num_lock = false;   // getModifierState("NumLock")
  bool repeat = false;     // an automatic repeat of a held key
};

// Posts what the press gives, in the desktop's order: its extended code if
// the tables give one, then the character it types. Returns true for
// Alt+Enter, which posts nothing and asks for the full-screen switch.
bool web_keyboard_handle(const WebKeyDown& press);

// A KeyboardEvent.code as a set-1 key; not known for a key a PC board lacks.
Set1Key web_code_to_set1(std::string_view code);

}  // namespace runtime
