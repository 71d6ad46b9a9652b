// The frames the end-to-end tests expect the real window to show, made here
// by the same game on the headless back end. The window shows either flame
// phase depending on when it is captured, so each position has both.
#include "tests/game/game_fixture.h"

namespace game {
namespace {

double fixed_clock() { return 100.0; }

struct E2eFrame {
  const char* name;
  int32_t x, y;
  bool show_readout;
};

class E2eFrames : public GameFixture, public ::testing::WithParamInterface<E2eFrame> {};

TEST_P(E2eFrames, MatchTheGameAtThatPosition) {
  const E2eFrame& f = GetParam();
  for (int32_t phase = 0; phase < 2; ++phase) {
    state_ = GameState{};
    state_.clock = fixed_clock;
    start({"datapack/graphics/brick03.mem", "datapack/graphics/flame01.mem",
           "datapack/graphics/flame02.mem", "datapack/graphics/skull01.mem",
           "datapack/graphics/morvek1.mem", "datapack/maps/map002.mem"},
          f.show_readout);
    state_.position = {f.x, f.y, f.x, f.y};
    state_.animation_phase = phase ^ 1;  // the first check flips it
    frame_step(state_);
    ASSERT_EQ(state_.animation_phase, phase);
    ASSERT_EQ(state_.block_flags[5], 0) << "the position must be walkable";
    EXPECT_TRUE(golden::matches_golden(
        std::string("tests/e2e/expected/") + f.name + "_phase" + std::to_string(phase) + ".mem",
        shown_page()));
    runtime::screen_release();
  }
}

INSTANTIATE_TEST_SUITE_P(Positions, E2eFrames,
                         ::testing::Values(E2eFrame{"tilewalk_2_2", 2, 2, true},
                                           E2eFrame{"tilewalk_7_4", 7, 4, true},
                                           E2eFrame{"tilewalk_7_3", 7, 3, true},
                                           E2eFrame{"flat_2_2", 2, 2, false},
                                           E2eFrame{"flat_5_2", 5, 2, false}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace game
