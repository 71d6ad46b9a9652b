#include "runtime/window/web_keyboard.h"

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
};

constexpr std::string_view PREFIX_KEY = "Key";
constexpr std::string_view PREFIX_DIGIT = "Digit";

// The one character after `prefix` in `code` ("KeyQ" -> 'Q'), or 0.
char suffix_char(std::string_view code, std::string_view prefix) {
  if (code.size() != prefix.size() + 1 || !code.starts_with(prefix)) return 0;
  return code.back();
}

// The character the press types: KeyboardEvent.key when it is one printable
// character, 0 for a key name ("ArrowUp", "F1", "Escape"). Under Ctrl or Alt
// browsers give the character the layout puts on the key.
uint8_t typed_character(std::string_view key) {
  const std::vector<uint32_t> points = utf8_decode(key);
  if (points.size() != 1 || points.front() < ' ' || points.front() == 0x7F) return 0;
  return cp437_from_code_point(points.front());
}

}  // namespace

// A key this keyboard does not have keeps scan code 0: it can only type.
Set1Key web_code_to_set1(std::string_view code) {
  if (const char letter = suffix_char(code, PREFIX_KEY); letter >= 'A' && letter <= 'Z') {
    return {true, set1_letter_scan_code(letter), false};
  }
  if (const char digit = suffix_char(code, PREFIX_DIGIT); digit >= '0' && digit <= '9') {
    return {true, digit == '0' ? uint8_t{0x0B} : static_cast<uint8_t>(0x02 + (digit - '1')), false};
  }
  for (const CodeRow& row : CODE_TABLE) {
    if (row.code == code) return {true, row.scan_code, row.dedicated};
  }
  return {};
}

bool web_keyboard_handle(const WebKeyDown& p) {
  const Set1Key set1 = web_code_to_set1(p.code);
  KeyPress press;
  press.scan_code = set1.scan_code;
  press.dedicated = set1.dedicated;
  press.typed = typed_character(p.key);
  press.shift = p.shift;
  press.ctrl = p.ctrl;
  press.alt = p.alt;
  press.alt_graph = p.alt_graph;
  press.num_lock = p.num_lock;
  const KeyDownPosts posts = key_down_posts(press);
  // A held Alt+Enter must not flip the page back and forth.
  if (posts.full_screen) return !p.repeat;
  if (posts.extended != 0) key_post(posts.extended);
  if (posts.character != 0) key_post(posts.character);
  return false;
}

}  // namespace runtime
