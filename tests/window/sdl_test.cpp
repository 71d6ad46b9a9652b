// The SDL back ends on SDL's dummy video driver: the window opens through the
// real back-end list, shows the shown page through the palette pixel for
// pixel, repaints itself, turns the close button into a key, switches to
// letterboxed full screen and back, leaves SDL and the screen saver as it
// found them, and refuses to pretend when there is no display; pads plugged
// in while it runs walk, repeat across a new window, stop when pulled out and
// end the game. The test reads the window and its surface, and moves its
// virtual pads, only while it holds the screen lock.
#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>
#include <tuple>
#include <vector>

#include "game/frame_loop.h"
#include "runtime/input/key_poll.h"
#include "runtime/screen/screen_lock.h"
#include "runtime/window/sdl_back_end.h"
#include "tests/support/screen_fixture.h"

namespace {

using namespace runtime;

// Every default colour, and indices above 15 (black).
uint8_t pattern(int x, int y) {
  return static_cast<uint8_t>(y % 50 == 7 ? 16 + x % 200 : (x / 4 + y / 3) % 16);
}

class Sdl : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_JOYSTICK_ALLOW_BACKGROUND_EVENTS", "1", 1);  // the dummy window has no focus
    window_set_back_ends_for_tests({});
    window_set_tick_observer(support::count_tick);
    ASSERT_EQ(screen_open(320, 200, 4, 8, 0, 0), RESULT_OK) << window_last_error();
    for (int i = 0; i < 64000; ++i) support::page(0)[i] = pattern(i % 320, i / 320);
    screen_mark_all_rows();
  }
  void TearDown() override { screen_release(); }

  // Pushes an event and waits for the ticks that handle it and show the result.
  static void after(uint32_t type, uint8_t window_event = 0, SDL_Keycode key = 0, Uint16 mod = 0) {
    SDL_Event event{};
    event.type = type;
    screen_lock();
    event.window = {type, 0, SDL_GetWindowID(sdl_back_end_window()), window_event, 0, 0, 0, 0, 0};
    event.key.keysym = {SDL_GetScancodeFromKey(key), key, mod, 0};
    screen_unlock();
    ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
    support::wait_ticks(3);
  }
  // Pixels of the window's surface unlike the pattern scaled by whole steps
  // and centred on black; and the window's full-screen state and size.
  static int64_t wrong_pixels(bool full_screen = false) {
    screen_lock();
    int w = 0, h = 0;
    SDL_GetWindowSize(sdl_back_end_window(), &w, &h);
    EXPECT_EQ(window_state().full_screen, full_screen);
    EXPECT_EQ(w * 1000 + h == 320200, !full_screen);
    EXPECT_EQ((SDL_GetWindowFlags(sdl_back_end_window()) & SDL_WINDOW_FULLSCREEN) != 0,
              full_screen);
    SDL_GetWindowMaximumSize(sdl_back_end_window(), &w, &h);
    EXPECT_EQ(w * 1000 + h == 321201, !full_screen);  // some managers cap full screen too
    SDL_GetWindowMinimumSize(sdl_back_end_window(), &w, &h);
    EXPECT_EQ(w * 1000 + h, 320200);
    // The size with the frame, as made: the dummy driver's windows have none.
    EXPECT_EQ(window_state().outer_width * 1000 + window_state().outer_height, 320200);
    SDL_Surface* surface = SDL_GetWindowSurface(sdl_back_end_window());
    const int scale = std::min(surface->w / 320, surface->h / 200);
    const int left = (surface->w - 320 * scale) / 2, top = (surface->h - 200 * scale) / 2;
    int64_t wrong = 0;
    for (int y = 0; y < surface->h; ++y) {
      for (int x = 0; x < surface->w; ++x) {
        uint32_t value = 0;
        uint8_t r = 0, g = 0, b = 0;
        std::memcpy(&value, static_cast<uint8_t*>(surface->pixels) + y * surface->pitch + x * 4, 4);
        SDL_GetRGB(value, surface->format, &r, &g, &b);
        const int px = x - left, py = y - top;
        const uint32_t index = px >= 0 && py >= 0 && px < 320 * scale && py < 200 * scale
                                   ? pattern(px / scale, py / scale)
                                   : 0;
        const uint32_t c = index < 16 ? DEFAULT_PALETTE[index] : 0;
        wrong += (uint32_t{r} | uint32_t{g} << 8 | uint32_t{b} << 16) != c;
      }
    }
    screen_unlock();
    return wrong;
  }
  static void spoil() {
    screen_lock();
    SDL_Surface* surface = SDL_GetWindowSurface(sdl_back_end_window());
    SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, 0x12, 0x34, 0x56));
    screen_unlock();
  }
};

TEST_F(Sdl, ShowsThePageRepaintsAndLeavesSdlDownAfterClosing) {
  for (int again = 0; again < 2; ++again) {
    support::wait_ticks(2);
    EXPECT_STREQ(window_state().back_end->name, "sdl-software");  // the dummy driver has no other
    EXPECT_EQ(wrong_pixels(), 0);
    for (const uint8_t event : {SDL_WINDOWEVENT_EXPOSED, SDL_WINDOWEVENT_RESTORED,
                                SDL_WINDOWEVENT_SIZE_CHANGED, SDL_WINDOWEVENT_DISPLAY_CHANGED}) {
      spoil();
      after(SDL_WINDOWEVENT, event);
      EXPECT_EQ(wrong_pixels(), 0) << int{event};
    }
    spoil();  // one changed row shows the whole picture again
    screen_lock();
    screen_mark_rows(150, 150);
    screen_unlock();
    support::wait_ticks(2);
    EXPECT_EQ(wrong_pixels(), 0);
    for (const uint32_t event : {SDL_RENDER_TARGETS_RESET, SDL_DISPLAYEVENT}) {
      spoil();
      after(event);
      EXPECT_EQ(wrong_pixels(), 0) << event;
    }
    screen_lock();  // a size some window manager imposed is put back
    SDL_SetWindowSize(sdl_back_end_window(), 400, 300);
    screen_unlock();
    after(SDL_WINDOWEVENT, SDL_WINDOWEVENT_SIZE_CHANGED);
    EXPECT_EQ(wrong_pixels(), 0);
    TearDown();
    EXPECT_EQ(SDL_WasInit(SDL_INIT_VIDEO), 0u);
    if (again == 0) SetUp();
  }
}

TEST_F(Sdl, CloseButtonAndKeysBecomeKeysAndTheWindowStays) {
  key_buffer() = KeyBuffer{};
  after(SDL_QUIT);
  after(SDL_WINDOWEVENT, SDL_WINDOWEVENT_CLOSE);
  after(SDL_KEYDOWN, 0, SDLK_F1);
  std::string keys;
  for (int i = 0; i < 4; ++i) keys += key_poll();
  EXPECT_EQ(keys, "\xffk\xffk\xff;");
  EXPECT_EQ(wrong_pixels(), 0);
}

TEST_F(Sdl, MaximiseSwitchesToLetterboxedFullScreenOnlyWhenActiveAndAltEnterBack) {
  after(SDL_WINDOWEVENT, SDL_WINDOWEVENT_FOCUS_LOST);
  after(SDL_WINDOWEVENT, SDL_WINDOWEVENT_MAXIMIZED);  // inactive: ignored
  EXPECT_EQ(wrong_pixels(), 0);
  after(SDL_WINDOWEVENT, SDL_WINDOWEVENT_FOCUS_GAINED);
  after(SDL_WINDOWEVENT, SDL_WINDOWEVENT_MAXIMIZED);
  EXPECT_EQ(wrong_pixels(true), 0);
  after(SDL_WINDOWEVENT, SDL_WINDOWEVENT_MAXIMIZED);  // no way back from full screen
  EXPECT_EQ(wrong_pixels(true), 0);
  after(SDL_KEYDOWN, 0, SDLK_RETURN, KMOD_LALT);
  EXPECT_EQ(wrong_pixels(), 0);
  static int marker;  // carried by this window only, not by one made again
  screen_lock();
  SDL_SetWindowData(sdl_back_end_window(), "marker", &marker);
  screen_unlock();
  after(SDL_KEYDOWN, 0, SDLK_RETURN, KMOD_LALT);  // the full-screen back end switches in place
  EXPECT_EQ(wrong_pixels(true), 0);
  after(SDL_KEYDOWN, 0, SDLK_RETURN, KMOD_LALT);
  EXPECT_EQ(wrong_pixels(), 0);
  screen_lock();
  EXPECT_EQ(SDL_GetWindowData(sdl_back_end_window(), "marker"), &marker);  // no flicker
  screen_unlock();
  after(SDL_WINDOWEVENT, SDL_WINDOWEVENT_MINIMIZED);
  after(SDL_WINDOWEVENT, SDL_WINDOWEVENT_FOCUS_GAINED);
  screen_lock();
  EXPECT_FALSE(window_state().active);  // focus comes back while minimised: not yet
  screen_unlock();
  after(SDL_WINDOWEVENT, SDL_WINDOWEVENT_RESTORED);
  screen_lock();
  EXPECT_TRUE(window_state().active);
  screen_unlock();
}

TEST_F(Sdl, ScreenSaverIsOffWhileTheWindowIsUpAndAsBeforeAfterwards) {
  TearDown();
  SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
  ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0);  // the host keeps SDL's video up
  for (const bool before : {true, false}) {
    before ? SDL_EnableScreenSaver() : SDL_DisableScreenSaver();
    SetUp();
    EXPECT_FALSE(SDL_IsScreenSaverEnabled());
    TearDown();
    EXPECT_EQ(SDL_IsScreenSaverEnabled(), before ? SDL_TRUE : SDL_FALSE);
  }
  SDL_Quit();
}

// A virtual pad in SDL's game controller layout, plugged in for its lifetime.
struct Pad {
  Pad() {
    screen_lock();
    index = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX,
                                      SDL_CONTROLLER_BUTTON_MAX, 0);
    joystick = SDL_JoystickOpen(index);
    screen_unlock();
  }
  ~Pad() { unplug(); }
  // Holds these buttons and the left stick at x, y; lets go of the rest.
  void hold(const std::vector<SDL_GameControllerButton>& buttons, Sint16 x = 0, Sint16 y = 0) {
    screen_lock();
    for (int b = 0; b < SDL_CONTROLLER_BUTTON_MAX; ++b) {
      const bool held = std::find(buttons.begin(), buttons.end(), b) != buttons.end();
      SDL_JoystickSetVirtualButton(joystick, b, held ? SDL_PRESSED : SDL_RELEASED);
    }
    SDL_JoystickSetVirtualAxis(joystick, SDL_CONTROLLER_AXIS_LEFTX, x);
    SDL_JoystickSetVirtualAxis(joystick, SDL_CONTROLLER_AXIS_LEFTY, y);
    screen_unlock();
  }
  void unplug() {
    screen_lock();
    if (joystick != nullptr) SDL_JoystickClose(joystick), SDL_JoystickDetachVirtual(index);
    joystick = nullptr;
    screen_unlock();
  }
  int index = -1;
  SDL_Joystick* joystick = nullptr;
};

std::string polled() {
  std::string keys;
  for (std::string key; !(key = key_poll()).empty();) keys += key;
  return keys;
}

TEST_F(Sdl, TwoPadsWalkTheEightStepsWithDpadAndStick) {
  Pad dpad, stick;
  support::wait_ticks(2);
  key_buffer() = KeyBuffer{};
  constexpr auto U = SDL_CONTROLLER_BUTTON_DPAD_UP, D = SDL_CONTROLLER_BUTTON_DPAD_DOWN,
                 L = SDL_CONTROLLER_BUTTON_DPAD_LEFT, R = SDL_CONTROLLER_BUTTON_DPAD_RIGHT;
  constexpr Sint16 F = 32767, H = 23170;  // full, and full at 45 degrees
  const std::tuple<std::vector<SDL_GameControllerButton>, Sint16, Sint16> STEPS[] = {
      {{U, L}, -H, -H}, {{U}, 0, -F},    {{U, R}, H, -H}, {{L}, -F, 0},
      {{R}, F, 0},      {{D, L}, -H, H}, {{D}, 0, F},     {{D, R}, H, H}};
  std::string walked;
  for (const auto& [buttons, x, y] : STEPS) {
    for (const bool by_stick : {false, true}) {
      by_stick ? stick.hold({}, x, y) : dpad.hold(buttons);
      support::wait_ticks(5);  // a single d-pad direction waits 20 ms for a second
      by_stick ? stick.hold({}) : dpad.hold({});
      support::wait_ticks(2);
      walked += polled();
    }
  }
  EXPECT_EQ(walked, "7788994466112233");
  dpad.unplug();  // the pad left still walks
  stick.hold({}, F, 0);
  support::wait_ticks(5);
  EXPECT_EQ(polled(), "6");
}

TEST_F(Sdl, AHeldPadDirectionRepeatsThroughANewWindowAndStopsWhenPulledOut) {
  Pad pad;
  support::wait_ticks(2);
  key_buffer() = KeyBuffer{};
  pad.hold({SDL_CONTROLLER_BUTTON_DPAD_UP, SDL_CONTROLLER_BUTTON_DPAD_RIGHT});
  const auto pressed = std::chrono::steady_clock::now();
  after(SDL_KEYDOWN, 0, SDLK_RETURN, KMOD_LALT);  // a new window for full screen; the pad stays
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  EXPECT_EQ(polled(), "9");  // the delay before repeats
  std::this_thread::sleep_for(std::chrono::milliseconds(400));
  pad.unplug();
  const double held =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - pressed).count();
  support::wait_ticks(2);
  const size_t repeats = polled().size();
  EXPECT_GE(repeats, 2u);
  EXPECT_LE(repeats, static_cast<size_t>((held - 0.5) * 30) + 2);
  support::wait_ticks(30);
  EXPECT_EQ(polled(), "");
  TearDown();  // nothing of SDL stays up, pads included, after a window made again
  EXPECT_EQ(SDL_WasInit(SDL_INIT_EVERYTHING), 0u);
}

// While the window is not active the pads post nothing, and a direction held
// through that time counts as pressed afresh when the window is back.
TEST_F(Sdl, PadsRestWhileTheWindowIsInactive) {
  Pad pad;
  support::wait_ticks(2);
  key_buffer() = KeyBuffer{};
  pad.hold({SDL_CONTROLLER_BUTTON_DPAD_DOWN, SDL_CONTROLLER_BUTTON_DPAD_LEFT});
  support::wait_ticks(3);
  EXPECT_EQ(polled(), "1");
  after(SDL_WINDOWEVENT, SDL_WINDOWEVENT_FOCUS_LOST);
  EXPECT_EQ(polled(), "");
  after(SDL_WINDOWEVENT, SDL_WINDOWEVENT_FOCUS_GAINED);
  EXPECT_EQ(polled().substr(0, 1), "1");  // at once, not after the repeat delay
}

// Back with Start ends the game from a pad, the way Escape does.
TEST(SdlDeathTest, BackWithStartEndsTheGame) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const auto play = [] {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_JOYSTICK_ALLOW_BACKGROUND_EVENTS", "1", 1);
    static game::GameState state;
    if (!game::start_up(state, game::TILEWALK_SETTINGS)) std::exit(2);
    game::enter_play(state);
    Pad pad;
    for (const auto alone : {SDL_CONTROLLER_BUTTON_BACK, SDL_CONTROLLER_BUTTON_START}) {
      pad.hold({alone});
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    if (!polled().empty()) std::exit(3);
    pad.hold({SDL_CONTROLLER_BUTTON_BACK, SDL_CONTROLLER_BUTTON_START});
    const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (std::chrono::steady_clock::now() < give_up) game::frame_step(state);
    std::exit(4);
  };
  EXPECT_EXIT(play(), ::testing::ExitedWithCode(0), "");
}

// With no display and no driver asked for, SDL would settle for one that
// shows nothing: opening must fail, say why and leave SDL down, whether or
// not a Wayland display is named; so must a window SDL refuses to make.
TEST(SdlDeathTest, NoDisplayMeansNoWindow) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const auto open = [] {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    const int32_t too_large = window_open("tilewalk", 20000, 200, 8, 0, 0);
    std::fprintf(stderr, "too large %d: %s, ", too_large, window_last_error().c_str());
    unsetenv("SDL_VIDEODRIVER");
    unsetenv("DISPLAY");
    // A Wayland display that is not there: SDL tries every driver it has
    // and would take its offscreen one.
    setenv("WAYLAND_DISPLAY", "tilewalk-test-none", 1);
    const int32_t offscreen = window_open("tilewalk", 320, 200, 8, 0, 0);
    std::fprintf(stderr, "offscreen %d: %s, ", offscreen, window_last_error().c_str());
    unsetenv("WAYLAND_DISPLAY");
    const int32_t result = window_open("tilewalk", 320, 200, 8, 0, 0);
    const bool sdl_says_why = window_last_error() != "SDL failed without a reason";
    std::fprintf(stderr, "result %d, reason %d, video %u", result, sdl_says_why,
                 SDL_WasInit(SDL_INIT_VIDEO));
    std::exit(0);
  };
  EXPECT_EXIT(open(), ::testing::ExitedWithCode(0),
              "too large 1: Window is too large., .*offscreen 1: no display \\(SDL chose the "
              "offscreen driver\\), result 1, reason 1, video 0");
}

}  // namespace
