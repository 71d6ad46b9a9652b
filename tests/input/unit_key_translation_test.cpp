// The translation of key-downs against the keyboard tables, as one table of
// presses with what each translates to and what its key-down posts.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>
#include <vector>

#include "runtime/input/key_translation.h"

namespace runtime {
namespace {

constexpr KeyCode ext(int code) { return code * 256 + 255; }

enum Mod { NONE, SHIFT, CTRL, ALT_CTRL, ALT };

KeyPress press(uint8_t scan, bool dedicated, uint8_t typed, uint8_t own, Mod mod) {
  KeyPress p;
  p.scan_code = scan;
  p.dedicated = dedicated;
  p.typed = typed;
  p.own = own;
  p.shift = mod == SHIFT;
  p.ctrl = mod == CTRL || mod == ALT_CTRL;
  p.alt = mod == ALT_CTRL || mod == ALT;
  return p;
}

struct Case {
  std::string name;
  KeyPress press;
  KeyCode translated;
  KeyCode posted;
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

std::vector<Case> dedicated_cases() {
  struct Row {
    const char* key;
    uint8_t scan;
    KeyCode none, shift, ctrl, alt;
  };
  const Row rows[] = {
      {"Home", 0x47, ext(0x47), ext(0x47), ext(0x77), ext(0x97)},
      {"Up", 0x48, ext(0x48), ext(0x48), ext(0x8D), ext(0x98)},
      {"PageUp", 0x49, ext(0x49), ext(0x49), ext(0x84), ext(0x99)},
      {"Left", 0x4B, ext(0x4B), ext(0x4B), ext(0x73), ext(0x9B)},
      {"Right", 0x4D, ext(0x4D), ext(0x4D), ext(0x74), ext(0x9D)},
      {"End", 0x4F, ext(0x4F), ext(0x4F), ext(0x75), ext(0x9F)},
      {"Down", 0x50, ext(0x50), ext(0x50), ext(0x91), ext(0xA0)},
      {"PageDown", 0x51, ext(0x51), ext(0x51), ext(0x76), ext(0xA1)},
      {"Insert", 0x52, ext(0x52), ext(0x52), ext(0x92), ext(0xA2)},
      {"Delete", 0x53, ext(0x53), ext(0x53), ext(0x93), ext(0xA3)},
      {"PadEnter", 0x1C, 13, 13, 10, ext(0xA6)},
      {"PadSlash", 0x35, '/', '?', ext(0x95), ext(0xA4)},
  };
  std::vector<Case> out;
  for (const Row& r : rows) {
    const std::pair<Mod, KeyCode> cols[] = {
        {NONE, r.none}, {SHIFT, r.shift}, {CTRL, r.ctrl}, {ALT_CTRL, r.alt}};
    const char* names[] = {"", "Shift", "Ctrl", "CtrlAlt"};
    int i = 0;
    for (const auto& [mod, code] : cols) {
      out.push_back({std::string("Dedicated") + names[i++] + r.key, press(r.scan, true, 0, 0, mod),
                     code, code > 255 ? code : 0});
    }
  }
  return out;
}

std::vector<Case> scan_table_extended_cases() {
  std::vector<Case> out;
  auto add = [&](std::string name, uint8_t scan, uint8_t typed_own, Mod mod, KeyCode code) {
    out.push_back({std::move(name), press(scan, false, typed_own, typed_own, mod), code, code});
  };
  add("Ctrl2", 0x03, '2', CTRL, ext(0x03));
  add("ShiftTab", 0x0F, 9, SHIFT, ext(0x0F));
  add("CtrlTab", 0x0F, 9, CTRL, ext(0x94));
  for (int i = 0; i < 9; ++i) {
    const auto scan = static_cast<uint8_t>(0x3B + i);
    const std::string f = "F" + std::to_string(i + 1);
    add(f, scan, 0, NONE, ext(0x3B + i));
    add("Shift" + f, scan, 0, SHIFT, ext(0x54 + i));
    add("Ctrl" + f, scan, 0, CTRL, ext(0x5E + i));
  }
  add("F11", 0x57, 0, NONE, ext(0x85));
  add("ShiftF11", 0x57, 0, SHIFT, ext(0x87));
  add("CtrlF11", 0x57, 0, CTRL, ext(0x89));
  add("F12", 0x58, 0, NONE, ext(0x86));
  add("ShiftF12", 0x58, 0, SHIFT, ext(0x88));
  add("CtrlF12", 0x58, 0, CTRL, ext(0x8A));
  const std::pair<uint8_t, int> pad[] = {{0x47, 0x77}, {0x48, 0x8D}, {0x49, 0x84}, {0x4B, 0x73},
                                         {0x4C, 0x8F}, {0x4D, 0x74}, {0x4F, 0x75}, {0x50, 0x91},
                                         {0x51, 0x76}, {0x52, 0x92}, {0x53, 0x93}};
  for (const auto& [scan, ctrl] : pad) {
    const std::string n = "Pad" + std::to_string(scan);
    add(n + "NumLockOff", scan, 0, NONE, ext(scan));
    add("Ctrl" + n + "NumLockOff", scan, 0, CTRL, ext(ctrl));
  }
  return out;
}

std::vector<Case> behaviour_cases() {
  return {
      // Swallowed: F10 in every column, the Alt key itself, Alt without Ctrl.
      {"F10", press(0x44, false, 0, 0, NONE), ext(0x44), 0},
      {"ShiftF10", press(0x44, false, 0, 0, SHIFT), ext(0x5D), 0},
      {"CtrlF10", press(0x44, false, 0, 0, CTRL), ext(0x67), 0},
      {"CtrlAltF10", press(0x44, false, 0, 0, ALT_CTRL), ext(0x71), 0},
      {"LeftAltAlone", press(0x38, false, 0, 0, ALT), 0, 0},
      {"RightAltAlone", press(0x38, true, 0, 0, ALT), 0, 0},
      {"AltF4", press(0x3E, false, 0, 0, ALT), KEY_CLOSE, 0},
      {"CtrlAltF4IsCloseAndSwallowed", press(0x3E, false, 0, 0, ALT_CTRL), KEY_CLOSE, 0},
      {"AltF1", press(0x3B, false, 0, 0, ALT), ext(0x68), 0},
      {"AltUp", press(0x48, true, 0, 0, ALT), ext(0x98), 0},
      {"AltPad8NumLockOff", press(0x48, false, 0, 0, ALT), 0, 0},
      {"AltLetter", press(0x1E, false, 'a', 'a', ALT), ext(0x1E), 0},
      {"CtrlAltF1", press(0x3B, false, 0, 0, ALT_CTRL), ext(0x68), ext(0x68)},
      // Number pad: digits with Num Lock on, nothing with Shift and it off.
      {"Pad7NumLockOn", press(0x47, false, '7', '7', NONE), '7', 0},
      {"Pad8NumLockOn", press(0x48, false, '8', '8', NONE), '8', 0},
      {"Pad9NumLockOn", press(0x49, false, '9', '9', NONE), '9', 0},
      {"Pad4NumLockOn", press(0x4B, false, '4', '4', NONE), '4', 0},
      {"Pad5NumLockOn", press(0x4C, false, '5', '5', NONE), '5', 0},
      {"Pad6NumLockOn", press(0x4D, false, '6', '6', NONE), '6', 0},
      {"Pad1NumLockOn", press(0x4F, false, '1', '1', NONE), '1', 0},
      {"Pad2NumLockOn", press(0x50, false, '2', '2', NONE), '2', 0},
      {"Pad3NumLockOn", press(0x51, false, '3', '3', NONE), '3', 0},
      {"Pad0NumLockOn", press(0x52, false, '0', '0', NONE), '0', 0},
      {"PadDotNumLockOn", press(0x53, false, '.', '.', NONE), '.', 0},
      {"ShiftPad8NumLockOff", press(0x48, false, 0, 0, SHIFT), 0, 0},
      {"ShiftPad5NumLockOff", press(0x4C, false, 0, 0, SHIFT), 0, 0},
      {"ShiftPad8NumLockOn", press(0x48, false, 0, '8', SHIFT), 0, 0},
      {"Pad8TypesWithoutOwnCharacter", press(0x48, false, '8', 0, NONE), '8', 0},
      {"PadMinus", press(0x4A, false, '-', '-', NONE), '-', 0},
      // Character keys: the character arrives as text, the key-down posts nothing.
      {"TopRow8", press(0x09, false, '8', '8', NONE), '8', 0},
      {"Escape", press(0x01, false, 27, 27, NONE), 27, 0},
      {"Enter", press(0x1C, false, 13, 13, NONE), 13, 0},
      {"Tab", press(0x0F, false, 9, 9, NONE), 9, 0},
      {"Backspace", press(0x0E, false, 8, 8, NONE), 8, 0},
      {"ShiftLetter", press(0x1E, false, 'A', 'a', SHIFT), 'A', 0},
      {"CtrlLetter", press(0x1E, false, 1, 'a', CTRL), 1, 0},
      {"OtherLayoutLetter", press(0x10, false, 'a', 'a', NONE), 'a', 0},
      {"Ctrl2TypingNothing", press(0x03, false, 0, '2', CTRL), 0, 0},
      {"ShiftTabTypingNothing", press(0x0F, false, 0, 9, SHIFT), 0, 0},
      {"CtrlAltLetterTypingNothing", press(0x1E, false, 0, 'a', ALT_CTRL), 0, 0},
      {"CtrlAltShiftedLetterCaseFolds", press(0x1E, false, 'A', 'a', ALT_CTRL), ext(0x1E),
       ext(0x1E)},
      {"PadSlashTyped", press(0x35, true, '/', '/', NONE), '/', 0},
      {"PadEnterTyped", press(0x1C, true, 13, 13, NONE), 13, 0},
      // Keys in neither table.
      {"UnlistedDedicated", press(0x5B, true, 0, 0, NONE), 0, 0},
      {"ScanBeyondTable", press(0x59, false, 0, 0, NONE), 0, 0},
      {"ScanBeyondTableTyped", press(0x70, false, 'x', 'x', NONE), 'x', 0},
      {"LeftShiftAlone", press(0x2A, false, 0, 0, SHIFT), 0, 0},
      {"CapsLock", press(0x3A, false, 0, 0, NONE), 0, 0},
      {"NumLock", press(0x45, false, 0, 0, NONE), 0, 0},
  };
}

class KeyTranslation : public ::testing::TestWithParam<Case> {};

TEST_P(KeyTranslation, TranslatesAndPosts) {
  const Case& c = GetParam();
  EXPECT_EQ(key_translate(c.press), c.translated);
  EXPECT_EQ(key_down_post_code(c.press), c.posted);
}

std::string case_name(const ::testing::TestParamInfo<Case>& info) { return info.param.name; }

INSTANTIATE_TEST_SUITE_P(DedicatedTable, KeyTranslation, ::testing::ValuesIn(dedicated_cases()),
                         case_name);
INSTANTIATE_TEST_SUITE_P(ScanTableExtended, KeyTranslation,
                         ::testing::ValuesIn(scan_table_extended_cases()), case_name);
INSTANTIATE_TEST_SUITE_P(Behaviour, KeyTranslation, ::testing::ValuesIn(behaviour_cases()),
                         case_name);

// The none, Shift and Ctrl columns hold extended codes exactly where the
// listed cases say, and nowhere else: a press whose typed and own characters
// agree reaches every entry.
TEST(KeyTranslationTable, ExtendedEntriesAreExactlyTheListedOnes) {
  std::set<std::pair<int, int>> expected;  // (scan code, modifier)
  for (const Case& c : scan_table_extended_cases()) {
    expected.insert({c.press.scan_code, c.press.shift ? SHIFT : c.press.ctrl ? CTRL : NONE});
  }
  expected.insert({0x44, NONE});  // F10, which the key-down swallows
  expected.insert({0x44, SHIFT});
  expected.insert({0x44, CTRL});
  for (int scan = 0; scan <= 0x58; ++scan) {
    for (Mod mod : {NONE, SHIFT, CTRL}) {
      // A typed character with no modifier selects the own character, so the
      // none column is reached with nothing typed.
      const uint8_t typed = 0;
      const KeyCode code =
          key_translate(press(static_cast<uint8_t>(scan), false, typed, typed, mod));
      const bool listed = expected.count({scan, mod}) != 0;
      EXPECT_EQ(code > 255, listed) << "scan 0x" << std::hex << scan << " modifier " << mod;
    }
  }
}

}  // namespace
}  // namespace runtime
