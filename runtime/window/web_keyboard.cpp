#include "runtime/window/web_keyboard.h"

#include <array>
#include <cstdint>
#include <vector>

#include "runtime/input/cp437.h"
#include "runtime/input/key_buffer.h"
#include "runtime/input/key_translation.h"

namespace runtime {
namespace {

struct CodeRow {
  std::string_view code;
  uint8_t scan_code;
  bool dedicated;  // E0-prefixed in set 1
};

// KeyboardEvent.code values follow the physical keys of a PC keyboard, so
// each names one set-1 scan code. Letters and top-row digits are found by
// rule below.
constexpr CodeRow CODE_TABLE[] = {
    {"Escape", 0x01, false},
    {"Minus", 0x0C, false},
    {"Equal", 0x0D, false},
    {"Backspace", 0x0E, false},
    {"Tab", 0x0F, false},
    {"BracketLeft", 0x1A, false},
    {"BracketRight", 0x1B, false},
    {"Enter", 0x1C, false},
    {"ControlLeft", 0x1D, false},
    {"Semicolon", 0x27, false},
    {"Quote", 0x28, false},
    {"Backquote", 0x29, false},
    {"ShiftLeft", 0x2A, false},
    {"Backslash", 0x2B, false},
    {"Comma", 0x33, false},
    {"Period", 0x34, false},
    {"Slash", 0x35, false},
    {"ShiftRight", 0x36, false},
    {"NumpadMultiply", 0x37, false},
    {"AltLeft", 0x38, false},
    {"Space", 0x39, false},
    {"CapsLock", 0x3A, false},
    {"F1", 0x3B, false},
    {"F2", 0x3C, false},
    {"F3", 0x3D, false},
    {"F4", 0x3E, false},
    {"F5", 0x3F, false},
    {"F6", 0x40, false},
    {"F7", 0x41, false},
    {"F8", 0x42, false},
    {"F9", 0x43, false},
    {"F10", 0x44, false},
    {"NumLock", 0x45, false},
    {"ScrollLock", 0x46, false},
    {"Numpad7", 0x47, false},
    {"Numpad8", 0x48, false},
    {"Numpad9", 0x49, false},
    {"NumpadSubtract", 0x4A, false},
    {"Numpad4", 0x4B, false},
    {"Numpad5", 0x4C, false},
    {"Numpad6", 0x4D, false},
    {"NumpadAdd", 0x4E, false},
    {"Numpad1", 0x4F, false},
    {"Numpad2", 0x50, false},
    {"Numpad3", 0x51, false},
    {"Numpad0", 0x52, false},
    {"NumpadDecimal", 0x53, false},
    {"IntlBackslash", 0x56, false},
    {"F11", 0x57, false},
    {"F12", 0x58, false},
    {"NumpadEnter", 0x1C, true},
    {"ControlRight", 0x1D, true},
    {"NumpadDivide", 0x35, true},
    {"PrintScreen", 0x37, true},
    {"AltRight", 0x38, true},
    {"Home", 0x47, true},
    {"ArrowUp", 0x48, true},
    {"PageUp", 0x49, true},
    {"ArrowLeft", 0x4B, true},
    {"ArrowRight", 0x4D, true},
    {"End", 0x4F, true},
    {"ArrowDown", 0x50, true},
    {"PageDown", 0x51, true},
    {"Insert", 0x52, true},
    {"Delete", 0x53, true},
    {"MetaLeft", 0x5B, true},
    {"MetaRight", 0x5C, true},
    {"ContextMenu", 0x5D, true},
    {"IntlRo", 0x73, false},
    {"IntlYen", 0x7D, false},
};

// Set 1 follows the rows of the board; the codes name letters alphabetically.
constexpr std::array<uint8_t, 26> LETTER_SCAN_CODES = {
    0x1E, 0x30, 0x2E, 0x20, 0x12, 0x21, 0x22, 0x23, 0x17, 0x24, 0x25, 0x26, 0x32,
    0x31, 0x18, 0x19, 0x10, 0x13, 0x1F, 0x14, 0x16, 0x2F, 0x11, 0x2D, 0x15, 0x2C};

constexpr std::string_view PREFIX_KEY = "Key";
constexpr std::string_view PREFIX_DIGIT = "Digit";
constexpr std::string_view PREFIX_PAD = "Numpad";

// The one character after `prefix` in `code` ("KeyQ" -> 'Q'), or 0.
char suffix_char(std::string_view code, std::string_view prefix) {
  if (code.size() != prefix.size() + 1 || !code.starts_with(prefix)) return 0;
  return code.back();
}

// False when the page names a key this keyboard does not have.
bool set1_of(std::string_view code, KeyPress& press) {
  if (const char letter = suffix_char(code, PREFIX_KEY); letter >= 'A' && letter <= 'Z') {
    press.scan_code = LETTER_SCAN_CODES[static_cast<size_t>(letter - 'A')];
    return true;
  }
  if (const char digit = suffix_char(code, PREFIX_DIGIT); digit >= '0' && digit <= '9') {
    press.scan_code = digit == '0' ? 0x0B : static_cast<uint8_t>(0x02 + (digit - '1'));
    return true;
  }
  for (const CodeRow& row : CODE_TABLE) {
    if (row.code == code) {
      press.scan_code = row.scan_code;
      press.dedicated = row.dedicated;
      return true;
    }
  }
  return false;
}

// The key's text as one code point, or 0 for a key name ("ArrowUp", "F1").
uint32_t single_code_point(std::string_view key) {
  const std::vector<uint32_t> points = utf8_decode(key);
  return points.size() == 1 ? points.front() : 0;
}

bool is_control(uint32_t point) { return point < 32 || point == 127; }
bool is_letter(uint32_t point) { return (point | 0x20) >= 'a' && (point | 0x20) <= 'z'; }

// The control characters a press types without Alt, which the page reports
// by name or, with Ctrl, as the plain letter.
uint8_t control_character(const WebKeyDown& p, uint32_t point) {
  if (p.alt) return 0;
  if (p.key == "Escape") return 27;
  if (p.key == "Enter") return p.ctrl ? 10 : 13;
  if (p.key == "Tab") return 9;
  if (p.key == "Backspace") return p.ctrl ? 127 : 8;
  if (p.ctrl && is_letter(point)) return static_cast<uint8_t>((point | 0x20) - 'a' + 1);
  return 0;
}

// The character the press types; 0 when it types none. Alt with a key is a
// command, not typing, unless it is the Alt that types (AltGr).
uint8_t typed_character(const WebKeyDown& p) {
  const uint32_t point = single_code_point(p.key);
  if (const uint8_t made = control_character(p, point); made != 0) return made;
  if (p.alt && !p.ctrl && !p.alt_graph) return 0;
  if (point == 0 || is_control(point)) return 0;
  return cp437_from_code_point(point);
}

// What the key types with no modifier held. Number-pad digits follow Num
// Lock: without it they are navigation keys that type nothing, which is what
// lets them reach their extended codes.
uint8_t own_character(const WebKeyDown& p) {
  if (const char pad = suffix_char(p.code, PREFIX_PAD); pad >= '0' && pad <= '9') {
    return p.num_lock ? static_cast<uint8_t>(pad) : 0;
  }
  if (p.code == "NumpadDecimal") return p.num_lock ? '.' : 0;
  if (p.code == "NumpadDivide") return '/';
  if (p.code == "NumpadMultiply") return '*';
  if (p.code == "NumpadSubtract") return '-';
  if (p.code == "NumpadAdd") return '+';
  if (p.code == "NumpadEnter" || p.code == "Enter") return 13;
  if (p.code == "Escape") return 27;
  if (p.code == "Tab") return 9;
  if (p.code == "Backspace") return 8;
  if (const char digit = suffix_char(p.code, PREFIX_DIGIT); digit != 0) {
    return static_cast<uint8_t>(digit);
  }
  const uint32_t point = single_code_point(p.key);
  if (is_letter(point)) return static_cast<uint8_t>(point | 0x20);
  // Other keys tell their own character only when nothing changes it.
  if (p.shift || p.ctrl || p.alt || point == 0 || is_control(point)) return 0;
  return cp437_from_code_point(point);
}

}  // namespace

bool web_keyboard_handle(const WebKeyDown& p) {
  if (p.alt && !p.ctrl && (p.code == "Enter" || p.code == "NumpadEnter")) {
    // A held Alt+Enter must not flip the page back and forth.
    return !p.repeat;
  }
  const uint8_t typed = typed_character(p);
  KeyPress press;
  if (set1_of(p.code, press)) {
    press.typed = typed;
    press.own = own_character(p);
    press.shift = p.shift;
    press.ctrl = p.ctrl;
    press.alt = p.alt;
    const KeyCode code = key_down_post_code(press);
    if (code != 0) key_post(code);
  }
  if (typed != 0) key_post(typed);
  return false;
}

}  // namespace runtime
