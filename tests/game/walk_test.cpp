// Long random walks, the animation clock far from its origin, and Escape.
#include <random>

#include "game/key_step.h"
#include "game/view.h"
#include "runtime/input/key_poll.h"
#include "runtime/text/font_table.h"
#include "runtime/text/text_output.h"
#include "tests/game/game_fixture.h"

namespace game {
namespace {

bool walkable(int32_t code) { return code == 0 || code == 3 || code >= 5; }

// True when pixel rows 152..159 of the shown page spell `text` from column 0
// in white on black, and the rest of those rows up to the view's width is
// black.
bool readout_shows(const std::string& text) {
  runtime::PagedScreen& screen = *runtime::screen_current();
  const uint8_t* page = runtime::screen_page(screen, DISPLAY_PAGE);
  for (int32_t r = 0; r < 8; ++r) {
    const uint8_t* row = page + (152 + r) * screen.pitch;
    for (int32_t x = 0; x < 240; ++x) {
      const size_t cell = static_cast<size_t>(x / 8);
      uint8_t expected = 0;
      if (cell < text.size()) {
        const auto& glyph = runtime::FONT_GLYPHS[static_cast<uint8_t>(text[cell])];
        expected = (glyph[static_cast<size_t>(r)] >> (x % 8) & 1) ? 15 : 0;
      }
      if (row[x] != expected) return false;
    }
  }
  return true;
}

TEST_F(GameFixture, RandomWalkStaysOnWalkableCellsAndTheReadoutFollows) {
  start_shipped();
  std::mt19937 random(20261206);
  const std::string keys = "1234567890a ";
  int64_t moves = 0;
  for (int32_t n = 0; n < 100000; ++n) {
    const int32_t before_x = state_.position.x, before_y = state_.position.y;
    step(keys[random() % keys.size()]);
    const PlayerPosition& p = state_.position;
    ASSERT_TRUE(p.x >= 0 && p.x < 320 && p.y >= 0 && p.y < 200) << "frame " << n;
    ASSERT_TRUE(walkable(map_cell(p.x, p.y))) << "frame " << n << " at " << p.x << "," << p.y;
    ASSERT_LE(std::abs(p.x - before_x) + std::abs(p.y - before_y), 2);
    if (state_.block_flags[5] == 0) {
      ASSERT_TRUE(readout_shows(runtime::format_int(p.x) + "," + runtime::format_int(p.y)))
          << "frame " << n << " at " << p.x << "," << p.y;
    } else {
      ASSERT_TRUE(readout_shows("")) << "a refused frame shows no readout, frame " << n;
    }
    moves += p.x != before_x || p.y != before_y;
  }
  EXPECT_GT(moves, 10000);  // the walk went somewhere
}

TEST_F(GameFixture, RandomWalkOnABlankMapRoamsTheWholePageWithinItsEdges) {
  start({"missing", "missing", "missing", "missing", "missing", "missing"});
  std::mt19937 random(7);
  int32_t min_x = 2, max_x = 2, min_y = 2, max_y = 2;
  for (int32_t n = 0; n < 100000; ++n) {
    // A walk biased to the far corner, then back, so both page edges are met.
    const char* keys = n < 60000 ? "3336" : "7774";
    step(keys[random() % 4]);
    const PlayerPosition& p = state_.position;
    ASSERT_TRUE(p.x >= 0 && p.x < 320 && p.y >= 0 && p.y < 200) << p.x << "," << p.y;
    min_x = std::min(min_x, p.x);
    max_x = std::max(max_x, p.x);
    min_y = std::min(min_y, p.y);
    max_y = std::max(max_y, p.y);
  }
  EXPECT_EQ(max_x, 319);
  EXPECT_EQ(max_y, 199);
  EXPECT_EQ(min_x, 0);
  EXPECT_EQ(min_y, 0);
}

double clock_reading = 0.0;
double test_clock() { return clock_reading; }

// After weeks of uptime the clock reads about 2^23 s, where a float steps by
// whole seconds: the flames must still flip on time.
TEST(AnimationCheck, FlipsOnTimeFarFromTheClockOrigin) {
  struct Tick {
    double after;  // seconds past the base
    int32_t phase;
  };
  for (const double base : {10.0, 8388608.0, 8388608.0 * 64}) {
    GameState state;
    state.clock = test_clock;
    const Tick ticks[] = {{0.0, 1}, {0.1, 1},  {0.15, 1}, {0.25, 0}, {0.3, 0},
                          {0.5, 1}, {0.55, 1}, {1.0, 0},  {1.1, 0},  {1.25, 1}};
    for (const Tick& tick : ticks) {
      clock_reading = base + tick.after;
      animation_check(state);
      EXPECT_EQ(state.animation_phase, tick.phase) << "base " << base << " + " << tick.after;
    }
  }
}

TEST(AnimationCheck, ExactlyThePeriodDoesNotFlip) {
  GameState state;
  state.clock = test_clock;
  clock_reading = 0.2;  // 0.2 - 0.0 is exactly the period
  animation_check(state);
  EXPECT_EQ(state.animation_phase, 0);
  clock_reading = 0.2000001;
  animation_check(state);
  EXPECT_EQ(state.animation_phase, 1);
  EXPECT_EQ(state.animation_stamp, 0.2000001);
}

class EscapeTest : public GameFixture {
 protected:
  void escape_when_play_is_entered() {
    settings_ = GameSettings{"tilewalk", {"m", "m", "m", "m", "m", "m"}, true};
    start_up(state_, settings_);
    runtime::screen_lock();
    runtime::key_post(27);
    runtime::screen_unlock();
    enter_play(state_);
    std::_Exit(3);  // not reached when Escape ends the program
  }
  void escape_after_a_walk() {
    start_shipped();
    for (char key : std::string("6663")) step(key);
    step(27);
    std::_Exit(3);
  }
};

TEST_F(EscapeTest, EndsTheProgramWithCodeZeroWhenPlayIsEntered) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(escape_when_play_is_entered(), ::testing::ExitedWithCode(0), "");
}

TEST_F(EscapeTest, EndsTheProgramWithCodeZeroInAnyFrame) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(escape_after_a_walk(), ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace game
