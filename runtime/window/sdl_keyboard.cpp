#include "runtime/window/sdl_keyboard.h"

#include <SDL.h>

#include "runtime/input/cp437.h"
#include "runtime/input/key_buffer.h"
#include "runtime/input/key_translation.h"

namespace runtime {

namespace {

// Set when a key-down is pressed with the left Alt key and no Ctrl: the
// text SDL queues right after it is not a typed character, as Alt+key is a
// command, not typing. Right Alt is AltGr on many layouts and types freely.
// Window thread only.
bool text_suppressed = false;

constexpr Set1Key key(uint8_t code) { return {true, code, false}; }
constexpr Set1Key e0(uint8_t code) { return {true, code, true}; }

// The digits and "." of the number pad, which type only with Num Lock on.
bool is_pad_digit_key(SDL_Scancode s) {
  return (s >= SDL_SCANCODE_KP_1 && s <= SDL_SCANCODE_KP_0) || s == SDL_SCANCODE_KP_PERIOD;
}

uint8_t pad_digit_character(SDL_Scancode s) {
  if (s == SDL_SCANCODE_KP_PERIOD) return '.';
  if (s == SDL_SCANCODE_KP_0) return '0';
  return static_cast<uint8_t>('1' + (s - SDL_SCANCODE_KP_1));
}

// What the key types with no modifier held, in the current lock state; 0 if
// it types nothing. Number-pad digits follow Num Lock: without it they are
// navigation keys that type nothing, which is what lets them reach their
// extended codes, while with it their digit arrives only as text.
uint8_t own_character(const SDL_Keysym& ks, bool num_lock) {
  if (is_pad_digit_key(ks.scancode)) return num_lock ? pad_digit_character(ks.scancode) : 0;
  switch (ks.scancode) {
    case SDL_SCANCODE_KP_DIVIDE:
      return '/';
    case SDL_SCANCODE_KP_MULTIPLY:
      return '*';
    case SDL_SCANCODE_KP_MINUS:
      return '-';
    case SDL_SCANCODE_KP_PLUS:
      return '+';
    case SDL_SCANCODE_KP_ENTER:
      return 13;
    default:
      break;
  }
  const SDL_Keycode sym = ks.sym;
  if (sym <= 0 || (sym & SDLK_SCANCODE_MASK) != 0 || sym == SDLK_DELETE) return 0;
  if (sym < 32) return static_cast<uint8_t>(sym);  // Escape, Enter, Tab, Backspace
  uint8_t byte = 0;
  return cp437_lookup(static_cast<uint32_t>(sym), byte) ? byte : 0;
}

// Control characters SDL never delivers as text, made from the key-down.
// Alt presses type none (Alt+Enter is the full-screen switch).
uint8_t control_character(const SDL_Keysym& ks, bool ctrl, bool alt) {
  if (alt) return 0;
  switch (ks.sym) {
    case SDLK_ESCAPE:
      return 27;
    case SDLK_RETURN:
    case SDLK_RETURN2:
    case SDLK_KP_ENTER:
      return ctrl ? 10 : 13;
    case SDLK_TAB:
      return 9;
    case SDLK_BACKSPACE:
      return ctrl ? 127 : 8;
    default:
      break;
  }
  if (!ctrl) return 0;
  if (ks.sym >= 'a' && ks.sym <= 'z') return static_cast<uint8_t>(ks.sym - 'a' + 1);
  // The punctuation that completes the control characters, by the symbol the
  // layout puts on the key: Ctrl+[ is Escape.
  switch (ks.sym) {
    case SDLK_LEFTBRACKET:
      return 27;
    case SDLK_BACKSLASH:
      return 28;
    case SDLK_RIGHTBRACKET:
      return 29;
    case SDLK_6:
    case SDLK_CARET:
      return 30;
    case SDLK_MINUS:
    case SDLK_UNDERSCORE:
      return 31;
    default:
      return 0;
  }
}

// Control characters are made from key-downs; text never carries them twice.
bool is_control(uint32_t cp) { return cp < 32 || cp == 127; }

// The character a key-down types: SDL queues the text of a press right after
// its key-down, so the next queued event tells. 0 when it types none.
uint8_t queued_text_character() {
  SDL_Event next;
  if (SDL_PeepEvents(&next, 1, SDL_PEEKEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) != 1) return 0;
  if (next.type != SDL_TEXTINPUT) return 0;
  const std::vector<uint32_t> cps = utf8_decode(next.text.text);
  if (cps.empty() || is_control(cps.front())) return 0;
  return cp437_from_code_point(cps.front());
}

KeyEventResult handle_key_down(const SDL_KeyboardEvent& event) {
  const SDL_Keysym& ks = event.keysym;
  const auto mod = static_cast<unsigned>(ks.mod);
  const bool shift = (mod & KMOD_SHIFT) != 0;
  const bool ctrl = (mod & KMOD_CTRL) != 0;
  const bool alt = (mod & KMOD_ALT) != 0;
  const bool num_lock = (mod & KMOD_NUM) != 0;
  text_suppressed = (mod & KMOD_LALT) != 0 && !ctrl;

  if (alt && !ctrl && (ks.sym == SDLK_RETURN || ks.sym == SDLK_KP_ENTER)) {
    // A held Alt+Enter must not flip the window back and forth.
    return event.repeat != 0 ? KeyEventResult::NONE : KeyEventResult::TOGGLE_FULL_SCREEN;
  }

  const uint8_t made = control_character(ks, ctrl, alt);
  const Set1Key set1 = sdl_scancode_to_set1(static_cast<int32_t>(ks.scancode));
  if (set1.known) {
    KeyPress press;
    press.scan_code = set1.scan_code;
    press.dedicated = set1.dedicated;
    press.typed = made != 0 ? made : queued_text_character();
    press.own = own_character(ks, num_lock);
    press.shift = shift;
    press.ctrl = ctrl;
    press.alt = alt;
    const KeyCode code = key_down_post_code(press);
    if (code != 0) key_post(code);
  }
  if (made != 0) key_post(made);
  return KeyEventResult::NONE;
}

void handle_text(const SDL_TextInputEvent& event) {
  const bool suppressed = text_suppressed;
  text_suppressed = false;
  if (suppressed) return;
  for (uint32_t cp : utf8_decode(event.text)) {
    if (!is_control(cp)) key_post(cp437_from_code_point(cp));
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
    // HID orders letters alphabetically; set 1 follows the rows of the board.
    static constexpr uint8_t LETTER_SCAN_CODES[26] = {
        0x1E, 0x30, 0x2E, 0x20, 0x12, 0x21, 0x22, 0x23, 0x17, 0x24, 0x25, 0x26, 0x32,
        0x31, 0x18, 0x19, 0x10, 0x13, 0x1F, 0x14, 0x16, 0x2F, 0x11, 0x2D, 0x15, 0x2C};
    return key(LETTER_SCAN_CODES[scancode - SDL_SCANCODE_A]);
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
