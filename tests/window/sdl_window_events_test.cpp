// SDL events reaching the window side: the close request becomes a key and
// leaves the window up, typed keys fill the ring, the window repaints itself
// when uncovered or when its renderer is reset, and the maximise button
// switches to crisp, letterboxed full screen.
#include <gtest/gtest.h>

#include <string>

#include "tests/window/sdl_window_support.h"

namespace runtime::sdl_test {
namespace {

void push(SDL_Event event) { ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError(); }

SDL_Event key_down(SDL_Scancode scancode, SDL_Keycode sym, Uint16 mod) {
  SDL_Event event{};
  event.type = SDL_KEYDOWN;
  event.key.state = SDL_PRESSED;
  event.key.keysym.scancode = scancode;
  event.key.keysym.sym = sym;
  event.key.keysym.mod = mod;
  return event;
}

SDL_Event typed(char c) {
  SDL_Event event{};
  event.type = SDL_TEXTINPUT;
  event.text.text[0] = c;
  event.text.text[1] = '\0';
  return event;
}

// Both ways the platform asks to close: the last window's close button
// (SDL_QUIT) and the window's own close event.
struct CloseCase {
  const char* name;
  bool quit;
};

class SdlCloseRequestTest : public SdlWindowTest,
                            public ::testing::WithParamInterface<CloseCase> {};

TEST_P(SdlCloseRequestTest, PostsKeyCloseAndTheWindowStays) {
  open_screen();
  take_keys();
  if (GetParam().quit) {
    SDL_Event event{};
    event.type = SDL_QUIT;
    push(event);
  } else {
    push(window_event(SDL_WINDOWEVENT_CLOSE));
  }
  ASSERT_TRUE(wait_ticks(2));
  EXPECT_EQ(take_keys(), std::vector<KeyCode>{KEY_CLOSE});
  EXPECT_TRUE(window_state().running.load());
  EXPECT_NE(sdl_back_end_window(), nullptr);
  // Still ticking and presenting after the request.
  show_pattern();
  ASSERT_TRUE(wait_ticks(2));
  EXPECT_EQ(pattern_mismatches(read_surface()), 0);
}

INSTANTIATE_TEST_SUITE_P(Requests, SdlCloseRequestTest,
                         ::testing::Values(CloseCase{"Quit", true},
                                           CloseCase{"WindowClose", false}),
                         [](const auto& info) { return std::string(info.param.name); });

using SdlKeyEventTest = SdlWindowTest;

TEST_F(SdlKeyEventTest, TwentyKeysWithoutPollingLeaveTheFifteenNewest) {
  open_screen();
  take_keys();
  // Held lock: no tick can run, so all twenty wait in SDL's queue and reach
  // the ring in one go.
  screen_lock();
  for (int i = 0; i < 20; ++i) push(typed(static_cast<char>('a' + i)));
  screen_unlock();
  ASSERT_TRUE(wait_ticks(2));
  std::vector<KeyCode> expected;
  for (int i = 5; i < 20; ++i) expected.push_back('a' + i);
  EXPECT_EQ(take_keys(), expected);
  EXPECT_TRUE(take_keys().empty());
}

// Key-downs go through the keyboard's translation: Escape is made from the
// key-down (SDL types no control characters), F1 is an extended key.
TEST_F(SdlKeyEventTest, KeyDownsReachTheRing) {
  open_screen();
  take_keys();
  push(key_down(SDL_SCANCODE_ESCAPE, SDLK_ESCAPE, KMOD_NONE));
  push(key_down(SDL_SCANCODE_F1, SDLK_F1, KMOD_NONE));
  ASSERT_TRUE(wait_ticks(2));
  EXPECT_EQ(take_keys(), (std::vector<KeyCode>{27, 0x3B * 256 + 255}));
}

// Events after which the whole picture must be in the window again, though
// no row of the page changed.
struct RepaintCase {
  const char* name;
  uint32_t type;   // SDL event type
  uint8_t window;  // SDL_WINDOWEVENT_* when type is SDL_WINDOWEVENT
};

class SdlRepaintTest : public SdlWindowTest, public ::testing::WithParamInterface<RepaintCase> {};

TEST_P(SdlRepaintTest, BringsThePictureBack) {
  open_screen();
  show_pattern();
  ASSERT_TRUE(wait_ticks(2));
  spoil_surface();
  ASSERT_GT(pattern_mismatches(read_surface()), 0) << "the spoiling must show";
  SDL_Event event{};
  if (GetParam().type == SDL_WINDOWEVENT) {
    event = window_event(GetParam().window);
  } else {
    event.type = GetParam().type;
  }
  push(event);
  ASSERT_TRUE(wait_ticks(2));
  EXPECT_EQ(pattern_mismatches(read_surface()), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Events, SdlRepaintTest,
    ::testing::Values(RepaintCase{"Exposed", SDL_WINDOWEVENT, SDL_WINDOWEVENT_EXPOSED},
                      RepaintCase{"Restored", SDL_WINDOWEVENT, SDL_WINDOWEVENT_RESTORED},
                      RepaintCase{"DisplayChanged", SDL_WINDOWEVENT,
                                  SDL_WINDOWEVENT_DISPLAY_CHANGED},
                      RepaintCase{"TargetsReset", SDL_RENDER_TARGETS_RESET, 0},
                      RepaintCase{"DeviceReset", SDL_RENDER_DEVICE_RESET, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SdlKeyEventTest, ActivityFollowsFocusAndMinimising) {
  open_screen();
  ASSERT_TRUE(wait_ticks(1));
  const auto active_after = [](uint8_t which) {
    push(SdlWindowTest::window_event(which));
    EXPECT_TRUE(wait_ticks(2));
    screen_lock();
    const bool active = window_state().active;
    screen_unlock();
    return active;
  };
  EXPECT_FALSE(active_after(SDL_WINDOWEVENT_FOCUS_LOST));
  EXPECT_TRUE(active_after(SDL_WINDOWEVENT_FOCUS_GAINED));
  EXPECT_FALSE(active_after(SDL_WINDOWEVENT_MINIMIZED));
  // Focus coming back while minimised does not make it active yet.
  EXPECT_FALSE(active_after(SDL_WINDOWEVENT_FOCUS_GAINED));
  EXPECT_TRUE(active_after(SDL_WINDOWEVENT_RESTORED));
}

// Full screen: every picture pixel becomes a whole square of display pixels,
// centred, with black around it.
int64_t letterbox_mismatches(const Surface& surface) {
  const int scale = std::min(surface.width / 320, surface.height / 200);
  if (scale < 1) return -1;
  const int left = (surface.width - 320 * scale) / 2;
  const int top = (surface.height - 200 * scale) / 2;
  int64_t wrong = 0;
  for (int y = 0; y < surface.height; ++y) {
    for (int x = 0; x < surface.width; ++x) {
      const int px = x - left;
      const int py = y - top;
      const bool inside = px >= 0 && py >= 0 && px < 320 * scale && py < 200 * scale;
      const uint32_t want = inside ? default_rgb(pattern_index(px / scale, py / scale)) : 0;
      if (surface.at(x, y) != want) ++wrong;
    }
  }
  return wrong;
}

bool full_screen_now() {
  screen_lock();
  const bool on = window_state().full_screen;
  screen_unlock();
  return on;
}

using SdlFullScreenTest = SdlWindowTest;

TEST_F(SdlFullScreenTest, MaximiseSwitchesToIntegerScaledFullScreen) {
  open_screen();
  show_pattern();
  ASSERT_TRUE(wait_ticks(2));
  const auto palette_before = window_state().palette;

  push(window_event(SDL_WINDOWEVENT_MAXIMIZED));
  ASSERT_TRUE(wait_ticks(3));
  ASSERT_TRUE(full_screen_now());
  SDL_Window* window = sdl_back_end_window();
  EXPECT_NE(SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN_DESKTOP, 0u);

  const Surface shown = read_surface();
  ASSERT_GE(shown.width, 640) << "the dummy desktop is larger than the picture";
  EXPECT_EQ(letterbox_mismatches(shown), 0);
  EXPECT_EQ(window_state().palette, palette_before);

  // A maximise reported while in full screen is not a request to leave it.
  push(window_event(SDL_WINDOWEVENT_MAXIMIZED));
  ASSERT_TRUE(wait_ticks(2));
  EXPECT_TRUE(full_screen_now());

  // Alt+Enter comes back to the window, with the same picture and palette.
  push(key_down(SDL_SCANCODE_RETURN, SDLK_RETURN, KMOD_LALT));
  ASSERT_TRUE(wait_ticks(3));
  EXPECT_FALSE(full_screen_now());
  EXPECT_EQ(SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN_DESKTOP, 0u);
  int back_w = 0, back_h = 0;
  SDL_GetWindowSize(window, &back_w, &back_h);
  const Surface back = read_surface();
  EXPECT_EQ(back_w, 320);
  EXPECT_EQ(back_h, 200);
  ASSERT_EQ(back.width, 320);
  ASSERT_EQ(back.height, 200);
  EXPECT_EQ(pattern_mismatches(back), 0);
  EXPECT_EQ(window_state().palette, palette_before);
  EXPECT_TRUE(take_keys().empty()) << "the switch is not a key for the game";
}

TEST_F(SdlFullScreenTest, MaximiseWhileInactiveIsIgnored) {
  open_screen();
  push(window_event(SDL_WINDOWEVENT_FOCUS_LOST));
  push(window_event(SDL_WINDOWEVENT_MAXIMIZED));
  ASSERT_TRUE(wait_ticks(2));
  EXPECT_FALSE(full_screen_now());
}

}  // namespace
}  // namespace runtime::sdl_test
