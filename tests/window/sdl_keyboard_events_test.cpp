// SDL keyboard events, pushed through SDL's own queue on the dummy video
// driver, become the right KeyBuffer contents in the right order. The events
// are handled on this thread the way a tick handles them: polled one by one
// and passed on in queue order.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "runtime/input/key_buffer.h"
#include "runtime/input/key_poll.h"
#include "runtime/window/sdl_keyboard.h"

namespace runtime {
namespace {

struct Ev {
  bool text = false;
  SDL_Scancode scancode = SDL_SCANCODE_UNKNOWN;
  SDL_Keycode sym = 0;
  uint16_t mod = 0;
  bool repeat = false;
  const char* utf8 = "";
};

Ev down(SDL_Scancode sc, SDL_Keycode sym, uint16_t mod = 0) {
  return {false, sc, sym, mod, false, ""};
}
Ev again(SDL_Scancode sc, SDL_Keycode sym, uint16_t mod = 0) {
  return {false, sc, sym, mod, true, ""};
}
Ev text(const char* utf8) { return {true, SDL_SCANCODE_UNKNOWN, 0, 0, false, utf8}; }

struct Case {
  const char* name;
  std::vector<Ev> events;
  std::vector<std::string> expected;  // key strings, oldest first
  int toggles = 0;
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

class SdlKeyboard : public ::testing::TestWithParam<Case> {
 protected:
  static void SetUpTestSuite() {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
    SDL_StartTextInput();
  }
  static void TearDownTestSuite() { SDL_Quit(); }
  void SetUp() override {
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    key_buffer() = KeyBuffer{};
  }
};

void push(const Ev& e) {
  SDL_Event event;
  std::memset(&event, 0, sizeof event);
  if (e.text) {
    event.type = SDL_TEXTINPUT;
    std::strncpy(event.text.text, e.utf8, sizeof event.text.text - 1);
  } else {
    event.type = SDL_KEYDOWN;
    event.key.state = SDL_PRESSED;
    event.key.repeat = e.repeat ? 1 : 0;
    event.key.keysym.scancode = e.scancode;
    event.key.keysym.sym = e.sym;
    event.key.keysym.mod = e.mod;
  }
  ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
}

TEST_P(SdlKeyboard, PostsTheKeyStrings) {
  const Case& c = GetParam();
  for (const Ev& e : c.events) push(e);
  int toggles = 0;
  SDL_Event event;
  while (SDL_PollEvent(&event) != 0) {
    if (sdl_keyboard_handle(event) == KeyEventResult::TOGGLE_FULL_SCREEN) ++toggles;
  }
  std::vector<std::string> got;
  for (KeyCode k = key_take(key_buffer()); k != 0; k = key_take(key_buffer())) {
    got.push_back(key_string(k));
  }
  EXPECT_EQ(got, c.expected);
  EXPECT_EQ(toggles, c.toggles);
}

constexpr uint16_t NUM = KMOD_NUM;
constexpr uint16_t SHIFT = KMOD_LSHIFT;
constexpr uint16_t CTRL = KMOD_LCTRL;
constexpr uint16_t LALT = KMOD_LALT;
constexpr uint16_t RALT = KMOD_RALT;

std::vector<Case> cases() {
  using S = std::vector<std::string>;
  return {
      {"TopRowDigit", {down(SDL_SCANCODE_8, '8'), text("8")}, S{"8"}},
      {"PadDigitNumLockOn", {down(SDL_SCANCODE_KP_8, SDLK_KP_8, NUM), text("8")}, S{"8"}},
      {"PadDigitsNumLockOff",
       {down(SDL_SCANCODE_KP_7, SDLK_KP_7), down(SDL_SCANCODE_KP_8, SDLK_KP_8),
        down(SDL_SCANCODE_KP_9, SDLK_KP_9), down(SDL_SCANCODE_KP_4, SDLK_KP_4),
        down(SDL_SCANCODE_KP_5, SDLK_KP_5), down(SDL_SCANCODE_KP_6, SDLK_KP_6),
        down(SDL_SCANCODE_KP_1, SDLK_KP_1), down(SDL_SCANCODE_KP_2, SDLK_KP_2),
        down(SDL_SCANCODE_KP_3, SDLK_KP_3)},
       S{"\xffG", "\xffH", "\xffI", "\xffK", "\xffL", "\xffM", "\xffO", "\xffP", "\xffQ"}},
      {"ShiftPadNumLockOff", {down(SDL_SCANCODE_KP_8, SDLK_KP_8, SHIFT)}, S{}},
      {"ShiftPadNumLockOnTypesNothing", {down(SDL_SCANCODE_KP_8, SDLK_KP_8, SHIFT | NUM)}, S{}},
      {"ControlCharacters",
       {down(SDL_SCANCODE_ESCAPE, SDLK_ESCAPE), down(SDL_SCANCODE_RETURN, SDLK_RETURN),
        down(SDL_SCANCODE_TAB, SDLK_TAB), down(SDL_SCANCODE_BACKSPACE, SDLK_BACKSPACE),
        down(SDL_SCANCODE_A, 'a', CTRL), down(SDL_SCANCODE_Z, 'z', CTRL | SHIFT),
        down(SDL_SCANCODE_KP_ENTER, SDLK_KP_ENTER)},
       S{"\x1b", "\r", "\t", "\b", "\x01", "\x1a", "\r"}},
      // A layout that puts "q" where "a" is on US boards: Ctrl follows the letter.
      {"CtrlLetterFollowsLayout", {down(SDL_SCANCODE_A, 'q', CTRL)}, S{"\x11"}},
      {"ControlCharacterNeverTwice",
       {down(SDL_SCANCODE_RETURN, SDLK_RETURN), text("\r"), down(SDL_SCANCODE_A, 'a', CTRL),
        text("\x01")},
       S{"\r", "\x01"}},
      {"ExtendedKeys",
       {down(SDL_SCANCODE_F1, SDLK_F1), down(SDL_SCANCODE_F12, SDLK_F12),
        down(SDL_SCANCODE_UP, SDLK_UP), down(SDL_SCANCODE_UP, SDLK_UP, CTRL),
        down(SDL_SCANCODE_DELETE, SDLK_DELETE), down(SDL_SCANCODE_F5, SDLK_F5, SHIFT),
        down(SDL_SCANCODE_KP_DIVIDE, SDLK_KP_DIVIDE, CTRL)},
       S{"\xff;", "\xff\x86", "\xffH", "\xff\x8d", "\xffS", "\xffX", "\xff\x95"}},
      {"ExtendedBeforeCharacterOfTheSamePress",
       {down(SDL_SCANCODE_TAB, SDLK_TAB, SHIFT), down(SDL_SCANCODE_TAB, SDLK_TAB, CTRL)},
       S{"\xff\x0f", "\t", "\xff\x94", "\t"}},
      {"Repeats",
       {down(SDL_SCANCODE_F1, SDLK_F1), again(SDL_SCANCODE_F1, SDLK_F1), down(SDL_SCANCODE_8, '8'),
        text("8"), again(SDL_SCANCODE_8, '8'), text("8"), down(SDL_SCANCODE_ESCAPE, SDLK_ESCAPE),
        again(SDL_SCANCODE_ESCAPE, SDLK_ESCAPE)},
       S{"\xff;", "\xff;", "8", "8", "\x1b", "\x1b"}},
      {"Swallowed",
       {down(SDL_SCANCODE_F10, SDLK_F10), down(SDL_SCANCODE_F10, SDLK_F10, CTRL),
        down(SDL_SCANCODE_LALT, SDLK_LALT, LALT), down(SDL_SCANCODE_F4, SDLK_F4, LALT),
        down(SDL_SCANCODE_F4, SDLK_F4, LALT | CTRL), down(SDL_SCANCODE_X, 'x', LALT), text("x"),
        down(SDL_SCANCODE_ESCAPE, SDLK_ESCAPE, LALT), down(SDL_SCANCODE_LSHIFT, SDLK_LSHIFT, SHIFT),
        down(SDL_SCANCODE_CAPSLOCK, SDLK_CAPSLOCK),
        down(SDL_SCANCODE_NUMLOCKCLEAR, SDLK_NUMLOCKCLEAR)},
       S{}},
      {"AltGrTypes", {down(SDL_SCANCODE_Q, 'q', RALT), text("@")}, S{"@"}},
      {"CtrlAltReachesTheAltColumn", {down(SDL_SCANCODE_F1, SDLK_F1, CTRL | LALT)}, S{"\xffh"}},
      {"AltEnterTogglesOncePerPress",
       {down(SDL_SCANCODE_RETURN, SDLK_RETURN, LALT), again(SDL_SCANCODE_RETURN, SDLK_RETURN, LALT),
        down(SDL_SCANCODE_KP_ENTER, SDLK_KP_ENTER, RALT)},
       S{},
       2},
      {"TextIsConvertedToCodePage437",
       {text("\xc3\xa9"), text("\xe2\x82\xac"), text("ab"), text("\xff")},
       S{"\x82", "?", "a", "b", "?"}},
      {"CtrlDigitTypingItsDigit", {down(SDL_SCANCODE_1, '1', CTRL), text("1")}, S{"1"}},
      {"CtrlTwoTypingNothing", {down(SDL_SCANCODE_2, '2', CTRL)}, S{}},
      {"CtrlPadNumLockOff", {down(SDL_SCANCODE_KP_5, SDLK_KP_5, CTRL)}, S{"\xff\x8f"}},
      // The text queued after a key-down is what the press types: a Ctrl press
      // that still types its own character reaches the Ctrl column.
      {"CtrlPadNumLockOnTypingItsDigit",
       {down(SDL_SCANCODE_KP_9, SDLK_KP_9, CTRL | NUM), text("9")},
       S{"\xff\x84", "9"}},
      {"TextOfAnAltPressDoesNotLeakIntoTheNext",
       {down(SDL_SCANCODE_X, 'x', LALT), text("x"), text("y")},
       S{"y"}},
  };
}

INSTANTIATE_TEST_SUITE_P(Events, SdlKeyboard, ::testing::ValuesIn(cases()),
                         [](const ::testing::TestParamInfo<Case>& info) {
                           return std::string(info.param.name);
                         });

TEST(SdlScancodes, DedicatedBlockIsMarkedAndSharesCodesWithThePad) {
  const Set1Key up = sdl_scancode_to_set1(SDL_SCANCODE_UP);
  const Set1Key pad8 = sdl_scancode_to_set1(SDL_SCANCODE_KP_8);
  EXPECT_TRUE(up.known && up.dedicated);
  EXPECT_TRUE(pad8.known && !pad8.dedicated);
  EXPECT_EQ(up.scan_code, pad8.scan_code);
  EXPECT_EQ(sdl_scancode_to_set1(SDL_SCANCODE_Q).scan_code, 0x10);
  EXPECT_EQ(sdl_scancode_to_set1(SDL_SCANCODE_M).scan_code, 0x32);
  EXPECT_EQ(sdl_scancode_to_set1(SDL_SCANCODE_0).scan_code, 0x0B);
  EXPECT_EQ(sdl_scancode_to_set1(SDL_SCANCODE_F10).scan_code, 0x44);
  EXPECT_FALSE(sdl_scancode_to_set1(SDL_SCANCODE_UNKNOWN).known);
  EXPECT_FALSE(sdl_scancode_to_set1(-1).known);
  EXPECT_FALSE(sdl_scancode_to_set1(100000).known);
}

}  // namespace
}  // namespace runtime
