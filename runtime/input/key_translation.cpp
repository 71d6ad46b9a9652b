#include "runtime/input/key_translation.h"

#include <array>

namespace runtime {

namespace {

// A table entry: 0 empty, 1..255 a character, 0x100 | code an extended code.
using Entry = uint16_t;

constexpr Entry C(int character) { return static_cast<Entry>(character); }
constexpr Entry X(int code) { return static_cast<Entry>(0x100 | code); }
constexpr bool is_extended(Entry e) { return (e & 0x100) != 0; }
constexpr KeyCode key_code_of(Entry e) {
  return is_extended(e) ? static_cast<KeyCode>((e & 0xFF) * 256 + 255) : static_cast<KeyCode>(e);
}

enum Column { NONE = 0, SHIFT = 1, CTRL = 2, ALT = 3 };
using Row = std::array<Entry, 4>;

// The keyboard's classic character and extended codes, in the order none,
// Shift, Ctrl, Alt (Alt is reached only with Ctrl held as well). Alt entries
// follow the usual PC conventions: Alt+letter and most punctuation give the
// key's scan code, Alt+digit 0x78..0x83, Alt+F1..F12 0x68..0x71 and 0x8B/0x8C;
// number-pad digits have none, since they were the keys for typing a
// character by its number.
constexpr Row letter_row(int scan, char lower) {
  return {C(lower), C(lower - 'a' + 'A'), C(lower - 'a' + 1), X(scan)};
}
constexpr Row pad_row(int scan, char shifted, int ctrl) {
  return {X(scan), C(shifted), X(ctrl), 0};
}
constexpr Row function_row(int i) { return {X(0x3B + i), X(0x54 + i), X(0x5E + i), X(0x68 + i)}; }
constexpr Row EMPTY_ROW{};

constexpr std::array<Row, 0x59> SCAN_TABLE = {{
    /* 0x00 */ EMPTY_ROW,
    /* 0x01 Escape */ {C(27), C(27), C(27), X(0x01)},
    /* 0x02 1 */ {C('1'), C('!'), 0, X(0x78)},
    /* 0x03 2 */ {C('2'), C('@'), X(0x03), X(0x79)},
    /* 0x04 3 */ {C('3'), C('#'), 0, X(0x7A)},
    /* 0x05 4 */ {C('4'), C('$'), 0, X(0x7B)},
    /* 0x06 5 */ {C('5'), C('%'), 0, X(0x7C)},
    /* 0x07 6 */ {C('6'), C('^'), C(0x1E), X(0x7D)},
    /* 0x08 7 */ {C('7'), C('&'), 0, X(0x7E)},
    /* 0x09 8 */ {C('8'), C('*'), 0, X(0x7F)},
    /* 0x0A 9 */ {C('9'), C('('), 0, X(0x80)},
    /* 0x0B 0 */ {C('0'), C(')'), 0, X(0x81)},
    /* 0x0C - */ {C('-'), C('_'), C(0x1F), X(0x82)},
    /* 0x0D = */ {C('='), C('+'), 0, X(0x83)},
    /* 0x0E Backspace */ {C(8), C(8), C(0x7F), X(0x0E)},
    /* 0x0F Tab */ {C(9), X(0x0F), X(0x94), X(0xA5)},
    /* 0x10 */ letter_row(0x10, 'q'),
    /* 0x11 */ letter_row(0x11, 'w'),
    /* 0x12 */ letter_row(0x12, 'e'),
    /* 0x13 */ letter_row(0x13, 'r'),
    /* 0x14 */ letter_row(0x14, 't'),
    /* 0x15 */ letter_row(0x15, 'y'),
    /* 0x16 */ letter_row(0x16, 'u'),
    /* 0x17 */ letter_row(0x17, 'i'),
    /* 0x18 */ letter_row(0x18, 'o'),
    /* 0x19 */ letter_row(0x19, 'p'),
    /* 0x1A [ */ {C('['), C('{'), C(0x1B), X(0x1A)},
    /* 0x1B ] */ {C(']'), C('}'), C(0x1D), X(0x1B)},
    /* 0x1C Enter */ {C(13), C(13), C(10), X(0x1C)},
    /* 0x1D Ctrl */ EMPTY_ROW,
    /* 0x1E */ letter_row(0x1E, 'a'),
    /* 0x1F */ letter_row(0x1F, 's'),
    /* 0x20 */ letter_row(0x20, 'd'),
    /* 0x21 */ letter_row(0x21, 'f'),
    /* 0x22 */ letter_row(0x22, 'g'),
    /* 0x23 */ letter_row(0x23, 'h'),
    /* 0x24 */ letter_row(0x24, 'j'),
    /* 0x25 */ letter_row(0x25, 'k'),
    /* 0x26 */ letter_row(0x26, 'l'),
    /* 0x27 ; */ {C(';'), C(':'), 0, X(0x27)},
    /* 0x28 ' */ {C('\''), C('"'), 0, X(0x28)},
    /* 0x29 ` */ {C('`'), C('~'), 0, X(0x29)},
    /* 0x2A left Shift */ EMPTY_ROW,
    /* 0x2B \ */ {C('\\'), C('|'), C(0x1C), X(0x2B)},
    /* 0x2C */ letter_row(0x2C, 'z'),
    /* 0x2D */ letter_row(0x2D, 'x'),
    /* 0x2E */ letter_row(0x2E, 'c'),
    /* 0x2F */ letter_row(0x2F, 'v'),
    /* 0x30 */ letter_row(0x30, 'b'),
    /* 0x31 */ letter_row(0x31, 'n'),
    /* 0x32 */ letter_row(0x32, 'm'),
    /* 0x33 , */ {C(','), C('<'), 0, X(0x33)},
    /* 0x34 . */ {C('.'), C('>'), 0, X(0x34)},
    /* 0x35 / */ {C('/'), C('?'), 0, X(0x35)},
    /* 0x36 right Shift */ EMPTY_ROW,
    /* 0x37 number-pad * */ {C('*'), C('*'), 0, X(0x37)},
    /* 0x38 Alt */ EMPTY_ROW,
    /* 0x39 Space */ {C(' '), C(' '), C(' '), C(' ')},
    /* 0x3A Caps Lock */ EMPTY_ROW,
    /* 0x3B F1 */ function_row(0),
    /* 0x3C F2 */ function_row(1),
    /* 0x3D F3 */ function_row(2),
    /* 0x3E F4 */ function_row(3),
    /* 0x3F F5 */ function_row(4),
    /* 0x40 F6 */ function_row(5),
    /* 0x41 F7 */ function_row(6),
    /* 0x42 F8 */ function_row(7),
    /* 0x43 F9 */ function_row(8),
    /* 0x44 F10 */ function_row(9),
    /* 0x45 Num Lock */ EMPTY_ROW,
    /* 0x46 Scroll Lock */ EMPTY_ROW,
    /* 0x47 pad 7 */ pad_row(0x47, '7', 0x77),
    /* 0x48 pad 8 */ pad_row(0x48, '8', 0x8D),
    /* 0x49 pad 9 */ pad_row(0x49, '9', 0x84),
    /* 0x4A pad - */ {C('-'), C('-'), 0, X(0x4A)},
    /* 0x4B pad 4 */ pad_row(0x4B, '4', 0x73),
    /* 0x4C pad 5 */ pad_row(0x4C, '5', 0x8F),
    /* 0x4D pad 6 */ pad_row(0x4D, '6', 0x74),
    /* 0x4E pad + */ {C('+'), C('+'), 0, X(0x4E)},
    /* 0x4F pad 1 */ pad_row(0x4F, '1', 0x75),
    /* 0x50 pad 2 */ pad_row(0x50, '2', 0x91),
    /* 0x51 pad 3 */ pad_row(0x51, '3', 0x76),
    /* 0x52 pad 0 */ pad_row(0x52, '0', 0x92),
    /* 0x53 pad . */ pad_row(0x53, '.', 0x93),
    /* 0x54 SysRq */ EMPTY_ROW,
    /* 0x55 */ EMPTY_ROW,
    /* 0x56 extra key of 102-key boards */ {C('\\'), C('|'), 0, 0},
    /* 0x57 F11 */ {X(0x85), X(0x87), X(0x89), X(0x8B)},
    /* 0x58 F12 */ {X(0x86), X(0x88), X(0x8A), X(0x8C)},
}};

struct DedicatedRow {
  uint8_t scan_code;
  Row entries;
};

// The separate navigation and arrow block, and the two number-pad keys that
// share scan codes with main-block keys.
constexpr std::array<DedicatedRow, 12> DEDICATED_TABLE = {{
    {0x47, {X(0x47), X(0x47), X(0x77), X(0x97)}},  // Home
    {0x48, {X(0x48), X(0x48), X(0x8D), X(0x98)}},  // Up
    {0x49, {X(0x49), X(0x49), X(0x84), X(0x99)}},  // Page Up
    {0x4B, {X(0x4B), X(0x4B), X(0x73), X(0x9B)}},  // Left
    {0x4D, {X(0x4D), X(0x4D), X(0x74), X(0x9D)}},  // Right
    {0x4F, {X(0x4F), X(0x4F), X(0x75), X(0x9F)}},  // End
    {0x50, {X(0x50), X(0x50), X(0x91), X(0xA0)}},  // Down
    {0x51, {X(0x51), X(0x51), X(0x76), X(0xA1)}},  // Page Down
    {0x52, {X(0x52), X(0x52), X(0x92), X(0xA2)}},  // Insert
    {0x53, {X(0x53), X(0x53), X(0x93), X(0xA3)}},  // Delete
    {0x1C, {C(13), C(13), C(10), X(0xA6)}},        // number-pad Enter
    {0x35, {C('/'), C('?'), X(0x95), X(0xA4)}},    // number-pad /
}};

// Alt outranks Ctrl, which outranks Shift.
Column column_of(const KeyPress& p) {
  if (p.alt) return ALT;
  if (p.ctrl) return CTRL;
  if (p.shift) return SHIFT;
  return NONE;
}

constexpr bool is_character(Entry e) { return e != 0 && !is_extended(e); }
constexpr bool is_printable(uint8_t c) { return c >= ' ' && c != 0x7F; }

constexpr uint8_t ESCAPE_SCAN_CODE = 0x01;
constexpr uint8_t ENTER_SCAN_CODE = 0x1C;
constexpr uint8_t PAD_MULTIPLY_SCAN_CODE = 0x37;
constexpr uint8_t ALT_SCAN_CODE = 0x38;
constexpr uint8_t SPACE_SCAN_CODE = 0x39;
constexpr uint8_t F10_SCAN_CODE = 0x44;
constexpr uint8_t PAD_7_SCAN_CODE = 0x47;
constexpr uint8_t PAD_MINUS_SCAN_CODE = 0x4A;
constexpr uint8_t PAD_PLUS_SCAN_CODE = 0x4E;
constexpr uint8_t PAD_PERIOD_SCAN_CODE = 0x53;
constexpr uint8_t KEY_102_SCAN_CODE = 0x56;

// The keys whose characters the layout decides: the main block.
constexpr bool in_main_block(uint8_t scan) {
  return (scan >= ESCAPE_SCAN_CODE && scan <= SPACE_SCAN_CODE && scan != PAD_MULTIPLY_SCAN_CODE) ||
         scan == KEY_102_SCAN_CODE;
}

// The number pad's digits and ".", which type only with Num Lock.
constexpr bool is_pad_digit(uint8_t scan) {
  return scan >= PAD_7_SCAN_CODE && scan <= PAD_PERIOD_SCAN_CODE && scan != PAD_MINUS_SCAN_CODE &&
         scan != PAD_PLUS_SCAN_CODE;
}

// Ctrl with a character types the Ctrl entry of the main-block key that
// carries that character, wherever the layout has put it: Ctrl+A is 1 on
// every layout, Ctrl+[ is Escape.
uint8_t ctrl_character(uint8_t typed) {
  if (typed == 0) return 0;
  for (size_t scan = ESCAPE_SCAN_CODE; scan < SCAN_TABLE.size(); ++scan) {
    const Row& row = SCAN_TABLE[scan];
    if (in_main_block(static_cast<uint8_t>(scan)) && (typed == row[NONE] || typed == row[SHIFT])) {
      return is_character(row[CTRL]) ? static_cast<uint8_t>(row[CTRL]) : 0;
    }
  }
  return 0;
}

// A table entry as posts: a character, or an extended code other than the
// close request (Alt+F4 never reaches the game).
KeyDownPosts posts_of(Entry entry) {
  KeyDownPosts posts;
  if (is_character(entry)) posts.character = static_cast<uint8_t>(entry);
  if (is_extended(entry) && key_code_of(entry) != KEY_CLOSE) posts.extended = key_code_of(entry);
  return posts;
}

const Row* dedicated_row(uint8_t scan) {
  for (const DedicatedRow& row : DEDICATED_TABLE) {
    if (row.scan_code == scan) return &row.entries;
  }
  return nullptr;
}

}  // namespace

KeyDownPosts key_down_posts(const KeyPress& pressed) {
  KeyPress p = pressed;
  if (p.alt_graph) p.ctrl = p.alt = false;
  KeyDownPosts posts;
  // Alt alone makes commands, never characters; the only one is Alt+Enter.
  if (p.alt && !p.ctrl) {
    posts.full_screen = p.scan_code == ENTER_SCAN_CODE;
    return posts;
  }
  // F10 and the Alt keys are the platform's menu keys: they post nothing.
  if ((p.scan_code == F10_SCAN_CODE && !p.dedicated) || p.scan_code == ALT_SCAN_CODE) return posts;
  const Column column = column_of(p);
  uint8_t typed = is_printable(p.typed) ? p.typed : 0;
  if (p.dedicated || p.scan_code >= SCAN_TABLE.size()) {
    // The key's own codes, if the table has any; with Ctrl they win over
    // whatever it types.
    const Row* row = p.dedicated ? dedicated_row(p.scan_code) : nullptr;
    if (row != nullptr && (column >= CTRL || typed == 0)) return posts_of((*row)[column]);
    if (column <= SHIFT) posts.character = typed;
    return posts;
  }
  const Row& row = SCAN_TABLE[p.scan_code];
  // The pad's digits follow Num Lock alone; Escape, Backspace, Tab and Enter
  // type their control character whatever the layout says.
  if (is_pad_digit(p.scan_code)) typed = p.num_lock ? static_cast<uint8_t>(row[SHIFT]) : 0;
  if (is_character(row[NONE]) && !is_printable(static_cast<uint8_t>(row[NONE]))) {
    typed = static_cast<uint8_t>(row[NONE]);
  }
  if (column <= SHIFT) {
    // A key that types a character posts just that.
    if (!is_printable(typed)) posts = posts_of(is_extended(row[column]) ? row[column] : 0);
    posts.character = typed;
    return posts;
  }
  if (column == CTRL && in_main_block(p.scan_code) && !is_extended(row[CTRL])) {
    posts.character = ctrl_character(typed);
    return posts;
  }
  return posts_of(row[column]);
}

uint8_t set1_letter_scan_code(char letter) {
  static constexpr std::array<uint8_t, 26> LETTER_SCAN_CODES = {
      0x1E, 0x30, 0x2E, 0x20, 0x12, 0x21, 0x22, 0x23, 0x17, 0x24, 0x25, 0x26, 0x32,
      0x31, 0x18, 0x19, 0x10, 0x13, 0x1F, 0x14, 0x16, 0x2F, 0x11, 0x2D, 0x15, 0x2C};
  return LETTER_SCAN_CODES[static_cast<size_t>(letter - 'A')];
}

}  // namespace runtime
