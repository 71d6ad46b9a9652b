#include "runtime/window/sdl_keyboard.h"

#include <SDL.h>

#include <vector>

#include "runtime/input/cp437.h"
#include "runtime/input/key_buffer.h"
#include "runtime/input/key_translation.h"

namespace runtime {

namespace {

// Set by a key-down when SDL queued the text of its press right after it:
// that text belongs to the key-down, which has posted what the press posts,
// so it is not posted again. Window thread only.
bool text_claimed = false;

constexpr Set1Key key(uint8_t code) { return {true, code, false}; }
constexpr Set1Key e0(uint8_t code) { return {true, code, true}; }

// A code point as a typed character: 0 for a control character, which text
// never carries (the key tables make them).
uint8_t character_of(uint32_t code_point) {
  return code_point < ' ' || code_point == 0x7F ? 0 : cp437_from_code_point(code_point);
}

// The layout's character for the key with no modifier, from its keysym
// (keys without one have keysyms outside Unicode, or none).
uint8_t keysym_character(SDL_Keycode sym) {
  uint8_t byte = 0;
  return cp437_lookup(static_cast<uint32_t>(sym), byte) ? character_of(byte) : 0;
}

uint8_t fold_case(uint8_t c) { return c >= 'A' && c <= 'Z' ? static_cast<uint8_t>(c | 0x20) : c; }

KeyEventResult handle_key_down(const SDL_KeyboardEvent& event) {
  const SDL_Keysym& ks = event.keysym;
  const auto mod = static_cast<unsigned>(ks.mod);
  // The text SDL queues right after a key-down is the text of that press.
  SDL_Event next;
  text_claimed = SDL_PeepEvents(&next, 1, SDL_PEEKEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) == 1 &&
                 next.type == SDL_TEXTINPUT;
  const std::vector<uint32_t> text =
      text_claimed ? utf8_decode(next.text.text) : std::vector<uint32_t>{};
  const uint8_t text_character = text.empty() ? 0 : character_of(text.front());
  const uint8_t own = keysym_character(ks.sym);

  const Set1Key set1 = sdl_scancode_to_set1(static_cast<int32_t>(ks.scancode));
  KeyPress press;
  press.scan_code = set1.scan_code;
  press.dedicated = set1.dedicated;
  press.shift = (mod & KMOD_SHIFT) != 0;
  press.ctrl = (mod & KMOD_CTRL) != 0;
  press.alt = (mod & KMOD_ALT) != 0;
  // SDL learns the lock's state from the system only when its window gains
  // focus, which a window under Wine without a window manager may never do;
  // a pad digit that the system types without Shift shows the lock is on.
  const bool pad_digit = ks.scancode >= SDL_SCANCODE_KP_1 && ks.scancode <= SDL_SCANCODE_KP_0;
  press.num_lock = (mod & KMOD_NUM) != 0 || (pad_digit && (mod & KMOD_SHIFT) == 0 &&
                                             text_character >= '0' && text_character <= '9');
  // X11 reports AltGr as its own modifier; Windows as left Ctrl with right
  // Alt, told apart from the command by a character the key alone lacks.
  press.alt_graph = (mod & KMOD_MODE) != 0 ||
                    ((mod & KMOD_LCTRL) != 0 && (mod & KMOD_RALT) != 0 && text_character != 0 &&
                     fold_case(text_character) != fold_case(own));
  // Text made under Ctrl or Alt is a guess of the platform's, often a control
  // character or none: the layout's character is then the key's own.
  const bool command = (press.ctrl || press.alt) && !press.alt_graph;
  press.typed = command && text_character == 0 ? own : text_character;

  const KeyDownPosts posts = key_down_posts(press);
  if (posts.full_screen) {
    // A held Alt+Enter must not flip the window back and forth.
    return event.repeat != 0 ? KeyEventResult::NONE : KeyEventResult::TOGGLE_FULL_SCREEN;
  }
  if (posts.extended != 0) key_post(posts.extended);
  if (posts.character != 0 && posts.character == text_character) {
    // Typing: every character of the text, as a composed key may give more.
    for (const uint32_t code_point : text) {
      if (character_of(code_point) != 0) key_post(character_of(code_point));
    }
  } else if (posts.character != 0) {
    key_post(posts.character);
  }
  return KeyEventResult::NONE;
}

// Text that no key-down claimed (an input method's, a pasted string).
void handle_text(const SDL_TextInputEvent& event) {
  const bool claimed = text_claimed;
  text_claimed = false;
  if (claimed) return;
  for (const uint32_t code_point : utf8_decode(event.text)) {
    if (character_of(code_point) != 0) key_post(character_of(code_point));
  }
}

}  // namespace

KeyEventResult sdl_keyboard_handle(const SDL_Event& event) {
  if (event.type == SDL_KEYDOWN) return handle_key_down(event.key);
  if (event.type == SDL_TEXTINPUT) handle_text(event.text);
  return KeyEventResult::NONE;
}

Set1Key sdl_scancode_to_set1(int32_t scancode) {
  if (scancode >= SDL_SCANCODE_A && scancode <= SDL_SCANCODE_Z) {
    return key(set1_letter_scan_code(static_cast<char>('A' + (scancode - SDL_SCANCODE_A))));
  }
  if (scancode >= SDL_SCANCODE_1 && scancode <= SDL_SCANCODE_0) {
    return key(static_cast<uint8_t>(0x02 + (scancode - SDL_SCANCODE_1)));
  }
  if (scancode >= SDL_SCANCODE_F1 && scancode <= SDL_SCANCODE_F10) {
    return key(static_cast<uint8_t>(0x3B + (scancode - SDL_SCANCODE_F1)));
  }
  switch (scancode) {
    case SDL_SCANCODE_RETURN:
      return key(0x1C);
    case SDL_SCANCODE_ESCAPE:
      return key(0x01);
    case SDL_SCANCODE_BACKSPACE:
      return key(0x0E);
    case SDL_SCANCODE_TAB:
      return key(0x0F);
    case SDL_SCANCODE_SPACE:
      return key(0x39);
    case SDL_SCANCODE_MINUS:
      return key(0x0C);
    case SDL_SCANCODE_EQUALS:
      return key(0x0D);
    case SDL_SCANCODE_LEFTBRACKET:
      return key(0x1A);
    case SDL_SCANCODE_RIGHTBRACKET:
      return key(0x1B);
    case SDL_SCANCODE_BACKSLASH:
    case SDL_SCANCODE_NONUSHASH:  // the same key on boards with an ISO Enter
      return key(0x2B);
    case SDL_SCANCODE_SEMICOLON:
      return key(0x27);
    case SDL_SCANCODE_APOSTROPHE:
      return key(0x28);
    case SDL_SCANCODE_GRAVE:
      return key(0x29);
    case SDL_SCANCODE_COMMA:
      return key(0x33);
    case SDL_SCANCODE_PERIOD:
      return key(0x34);
    case SDL_SCANCODE_SLASH:
      return key(0x35);
    case SDL_SCANCODE_CAPSLOCK:
      return key(0x3A);
    case SDL_SCANCODE_F11:
      return key(0x57);
    case SDL_SCANCODE_F12:
      return key(0x58);
    case SDL_SCANCODE_PRINTSCREEN:
      return e0(0x37);
    case SDL_SCANCODE_SCROLLLOCK:
      return key(0x46);
    case SDL_SCANCODE_INSERT:
      return e0(0x52);
    case SDL_SCANCODE_HOME:
      return e0(0x47);
    case SDL_SCANCODE_PAGEUP:
      return e0(0x49);
    case SDL_SCANCODE_DELETE:
      return e0(0x53);
    case SDL_SCANCODE_END:
      return e0(0x4F);
    case SDL_SCANCODE_PAGEDOWN:
      return e0(0x51);
    case SDL_SCANCODE_RIGHT:
      return e0(0x4D);
    case SDL_SCANCODE_LEFT:
      return e0(0x4B);
    case SDL_SCANCODE_DOWN:
      return e0(0x50);
    case SDL_SCANCODE_UP:
      return e0(0x48);
    case SDL_SCANCODE_NUMLOCKCLEAR:
      return key(0x45);
    case SDL_SCANCODE_KP_DIVIDE:
      return e0(0x35);
    case SDL_SCANCODE_KP_MULTIPLY:
      return key(0x37);
    case SDL_SCANCODE_KP_MINUS:
      return key(0x4A);
    case SDL_SCANCODE_KP_PLUS:
      return key(0x4E);
    case SDL_SCANCODE_KP_ENTER:
      return e0(0x1C);
    case SDL_SCANCODE_KP_1:
      return key(0x4F);
    case SDL_SCANCODE_KP_2:
      return key(0x50);
    case SDL_SCANCODE_KP_3:
      return key(0x51);
    case SDL_SCANCODE_KP_4:
      return key(0x4B);
    case SDL_SCANCODE_KP_5:
      return key(0x4C);
    case SDL_SCANCODE_KP_6:
      return key(0x4D);
    case SDL_SCANCODE_KP_7:
      return key(0x47);
    case SDL_SCANCODE_KP_8:
      return key(0x48);
    case SDL_SCANCODE_KP_9:
      return key(0x49);
    case SDL_SCANCODE_KP_0:
      return key(0x52);
    case SDL_SCANCODE_KP_PERIOD:
      return key(0x53);
    case SDL_SCANCODE_NONUSBACKSLASH:
      return key(0x56);
    case SDL_SCANCODE_APPLICATION:
      return e0(0x5D);
    case SDL_SCANCODE_LCTRL:
      return key(0x1D);
    case SDL_SCANCODE_LSHIFT:
      return key(0x2A);
    case SDL_SCANCODE_LALT:
      return key(0x38);
    case SDL_SCANCODE_LGUI:
      return e0(0x5B);
    case SDL_SCANCODE_RCTRL:
      return e0(0x1D);
    case SDL_SCANCODE_RSHIFT:
      return key(0x36);
    case SDL_SCANCODE_RALT:
      return e0(0x38);
    case SDL_SCANCODE_RGUI:
      return e0(0x5C);
    default:
      return {};
  }
}

}  // namespace runtime
