// The game from start-up against the table in scenarios.txt, on the headless
// back end with a clock far from its origin (where a float would step by
// whole seconds); and Escape, which ends the program on a blank blue console.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "game/frame_loop.h"
#include "runtime/input/key_buffer.h"
#include "runtime/screen/images.h"
#include "runtime/screen/screen_lock.h"
#include "runtime/text/console.h"
#include "tests/support/golden_frame.h"
#include "tests/support/screen_fixture.h"

namespace {

using namespace game;
using runtime::KeyCode;

double now = 0;
double fake_clock() { return now; }

void post(KeyCode key) {
  runtime::screen_lock();
  runtime::key_post(key);
  runtime::screen_unlock();
}

TEST(Game, PlaysTheScenarios) {
  std::ifstream table("tests/game/scenarios.txt");
  int rows = 0;
  for (std::string line; std::getline(table, line);) {
    if (line.empty() || line[0] == '#') continue;
    SCOPED_TRACE(line);
    std::istringstream fields(line);
    std::string pack, readout, keys, frame;
    int32_t x = 0, y = 0, end_x = 0, end_y = 0;
    char comma = 0;
    fields >> pack >> readout >> x >> comma >> y >> keys >> end_x >> comma >> end_y >> frame;
    GameSettings settings = TILEWALK_SETTINGS;
    settings.show_readout = readout == "on";
    std::array<std::string, 6> paths;
    for (size_t i = 0; i < 6 && pack != "shipped"; ++i) {
      const std::string name = settings.asset_paths[i];
      paths[i] = "tests/game/" + pack + "/" + name.substr(name.rfind('/') + 1);
      settings.asset_paths[i] = paths[i].c_str();
    }
    runtime::headless_install();
    runtime::key_buffer().read_index = runtime::key_buffer().write_index;
    GameState state;
    state.clock = fake_clock;
    now = 8388608.0 * 64;
    ASSERT_TRUE(start_up(state, settings));
    enter_play(state);
    state.position = {x, y, x, y};
    for (size_t k = 0; k < keys.size(); ++k) {
      const char c = keys[k];
      if (c == '+') {
        now += 0.25;
      } else if (c == '*') {
        post(static_cast<uint8_t>(keys[++k]));
      } else {
        if (c == '<') {
          post(std::stoi(keys.substr(k + 1, 2), nullptr, 16) * 256 + 255);
          k += 3;
        } else if (c != '.') {
          post(c == '_' ? ' ' : static_cast<uint8_t>(c));
        }
        frame_step(state);
      }
    }
    EXPECT_EQ(runtime::screen_lock_count(), 0);
    EXPECT_EQ(state.position.x * 1000 + state.position.y, end_x * 1000 + end_y);
    if (frame.starts_with("e2e/")) {  // what the real window must show, whole
      EXPECT_TRUE(golden::matches("tests/e2e/expected/" + frame.substr(4) + ".frame",
                                  golden::capture(DISPLAY_PAGE, 0, 0, 320, 200, false)));
    } else if (frame != "-") {
      EXPECT_TRUE(golden::matches("tests/game/golden/" + frame + ".frame",
                                  golden::capture(DISPLAY_PAGE, 0, 0, 241, 160, true)));
    }
    runtime::screen_release();
    for (runtime::ImageBuffer* image : state.assets) runtime::image_release(image);
    ++rows;
  }
  EXPECT_GT(rows, 15);
}

// The flames change phase once more than 0.2 s has passed, not at 0.2 s.
TEST(Game, FlamesChangeOnlyAfterMoreThanTheirPeriod) {
  GameState state;
  state.clock = fake_clock;
  now = 0.2;
  animation_check(state);
  EXPECT_EQ(state.animation_phase, 0);
  now = std::nextafter(0.2, 1.0);
  animation_check(state);
  animation_check(state);
  EXPECT_EQ(state.animation_phase, 1);
}

// The game's way out, in a child process: Escape after a short walk must end
// the program with code 0, the console 80 x 25, blank, white on blue, the
// cursor at the top left, whatever its size was.
void play_then_escape() {
  static std::string console;
  runtime::console_capture(&console, 100, 30);  // the way out makes it 80 x 25
  std::atexit([] {
    std::string blank_blue = "\x1b[0;97;44m\x1b[H\x1b[2J";
    for (int row = 1; row <= 25; ++row)
      blank_blue += "\x1b[" + std::to_string(row) + ";1H" + std::string(80, ' ');
    std::fprintf(stderr, "console %s",
                 console.ends_with(blank_blue + "\x1b[1;1H") ? "ok" : "wrong");
  });
  runtime::headless_install();
  static GameState state;
  state.clock = fake_clock;
  start_up(state, TILEWALK_SETTINGS);
  enter_play(state);
  for (KeyCode key : {KeyCode{'6'}, KeyCode{'3'}, KeyCode{27}}) {
    post(key);
    frame_step(state);
  }
  std::_Exit(3);
}

TEST(GameDeathTest, EscapeEndsTheGameOnABlankBlueConsole) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(play_then_escape(), ::testing::ExitedWithCode(0), "console ok");
}

}  // namespace
