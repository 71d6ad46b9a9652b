// The SDL window side's life: it opens through the real back-end list, shows
// the shown page through the palette, closes without leaving SDL behind, puts
// the screen saver back, and refuses to pretend when there is no display.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "tests/window/sdl_window_support.h"

namespace runtime::sdl_test {
namespace {

using SdlWindowLifecycleTest = SdlWindowTest;

TEST_F(SdlWindowLifecycleTest, OpensBlackAndPixelForPixel) {
  open_screen();
  // A window at 1:1 is the software back end's, first in the list.
  ASSERT_NE(window_state().back_end, nullptr);
  EXPECT_STREQ(window_state().back_end->name, "sdl-software");

  SDL_Window* window = sdl_back_end_window();
  int w = 0, h = 0, min_w = 0, min_h = 0, max_w = 0, max_h = 0;
  SDL_GetWindowSize(window, &w, &h);
  SDL_GetWindowMinimumSize(window, &min_w, &min_h);
  SDL_GetWindowMaximumSize(window, &max_w, &max_h);
  EXPECT_EQ(w, 320);
  EXPECT_EQ(h, 200);
  // Resizable by one pixel only, so that window managers offer maximise.
  EXPECT_EQ(min_w, 320);
  EXPECT_EQ(max_w, 321);
  EXPECT_EQ(min_h, 200);
  EXPECT_EQ(max_h, 201);

  ASSERT_TRUE(wait_ticks(2));
  const Surface shown = read_surface();
  ASSERT_EQ(shown.width, 320);
  ASSERT_EQ(shown.height, 200);
  int64_t lit = 0;
  for (uint32_t pixel : shown.rgb) lit += pixel != 0 ? 1 : 0;
  EXPECT_EQ(lit, 0) << "a new screen shows black";
}

TEST_F(SdlWindowLifecycleTest, PresentsTheShownPageThroughThePalette) {
  open_screen();
  show_pattern();
  ASSERT_TRUE(wait_ticks(2));
  const Surface shown = read_surface();
  ASSERT_EQ(shown.width, 320);
  EXPECT_EQ(pattern_mismatches(shown), 0);
  // Spot checks that would catch swapped red and blue.
  EXPECT_EQ(shown.at(4, 0), default_rgb(1));
  EXPECT_EQ(shown.at(16, 0), default_rgb(4));
}

TEST_F(SdlWindowLifecycleTest, ClosesCleanlyAndOpensAgain) {
  open_screen();
  show_pattern();
  ASSERT_TRUE(wait_ticks(1));
  screen_release();
  EXPECT_EQ(window_state().back_end, nullptr);
  EXPECT_FALSE(window_state().running.load());
  EXPECT_EQ(sdl_back_end_window(), nullptr);
  EXPECT_EQ(SDL_WasInit(SDL_INIT_VIDEO), 0u) << "the window side leaves SDL's video as it found it";

  // A second screen gets a window of its own that works as the first did.
  open_screen();
  show_pattern();
  ASSERT_TRUE(wait_ticks(2));
  EXPECT_EQ(pattern_mismatches(read_surface()), 0);
}

// The host already has SDL's video up (so SDL's own screen-saver flag
// outlives the window) with the screen saver on or off.
class SdlScreenSaverTest : public SdlWindowTest, public ::testing::WithParamInterface<bool> {
 protected:
  void SetUp() override {
    SdlWindowTest::SetUp();
    SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();
  }
  void TearDown() override {
    SdlWindowTest::TearDown();
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    SDL_Quit();
  }
};

TEST_P(SdlScreenSaverTest, IsOffWhileTheWindowIsUpAndAsBeforeAfterwards) {
  const bool enabled_before = GetParam();
  if (enabled_before) {
    SDL_EnableScreenSaver();
  } else {
    SDL_DisableScreenSaver();
  }
  open_screen();
  EXPECT_FALSE(SDL_IsScreenSaverEnabled());
  EXPECT_EQ(window_state().saved_screen_saver, enabled_before);
  screen_release();
  EXPECT_EQ(SDL_IsScreenSaverEnabled() == SDL_TRUE, enabled_before);
}

INSTANTIATE_TEST_SUITE_P(BothSettings, SdlScreenSaverTest, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "WasOn" : "WasOff"; });

TEST(SdlDriverRequestTest, MatchesNamesInTheList) {
  struct Case {
    const char* requested;
    const char* driver;
    bool expected;
  };
  const Case cases[] = {
      {nullptr, "dummy", false},
      {"", "dummy", false},
      {"dummy", "dummy", true},
      {"DUMMY", "dummy", true},
      {"x11,dummy", "dummy", true},
      {"x11, offscreen ", "offscreen", true},
      {"x11,wayland", "offscreen", false},
      {"dummyx", "dummy", false},
      {"dumm", "dummy", false},
      {",", "dummy", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(sdl_driver_requested(c.requested, c.driver), c.expected)
        << (c.requested ? c.requested : "(unset)") << " / " << c.driver;
  }
}

// With no display and no driver asked for, SDL would settle for a driver that
// shows nothing. The window side must refuse, say why, and leave SDL down.
// In a child process so the environment and SDL's state stay there.
void open_without_display() {
  unsetenv("SDL_VIDEODRIVER");
  unsetenv("DISPLAY");
  unsetenv("WAYLAND_DISPLAY");
  const int32_t result = window_open("tilewalk", 320, 200, 8, 0, 0);
  const std::string reason = window_last_error();
  std::fprintf(stderr, "result=%d video=%u reason=%s\n", static_cast<int>(result),
               static_cast<unsigned>(SDL_WasInit(SDL_INIT_VIDEO)), reason.c_str());
  std::exit(result != 0 && !reason.empty() && window_state().back_end == nullptr ? 0 : 1);
}

TEST(SdlNoDisplayDeathTest, WindowOpenFailsWithAReason) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(open_without_display(), ::testing::ExitedWithCode(0),
              "result=[1-9][0-9]* video=0 reason=.+");
}

}  // namespace
}  // namespace runtime::sdl_test
