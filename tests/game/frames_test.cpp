// Golden frames of the whole game: a small datapack made here, whose cells
// around the start hold one tile code each, and the shipped datapack.
#include <array>
#include <filesystem>

#include "game/view.h"
#include "tests/game/game_fixture.h"

namespace game {
namespace {

namespace fs = std::filesystem;

double fake_now = 100.0;
double fake_clock() { return fake_now; }

// Map cells of the test datapack, placed around the start (2, 2).
struct Cell {
  int32_t x, y, code;
};
constexpr std::array<Cell, 8> TEST_CELLS = {{
    {3, 2, 1},    // brick, right of the start
    {2, 3, 2},    // blocking flame, below
    {1, 2, 3},    // walkable flame, left
    {2, 1, 4},    // skull, above
    {3, 3, 5},    // white box, down-right
    {1, 1, 200},  // a high code: also a white box, up-left
    {4, 1, 5},    // a box next to the free corner cell (3, 1)
    {0, 0, 16},   // above 15: shown as a box, pixel value kept
}};

// Distinct, asymmetric pictures, so a shifted or swapped put shows.
Drawing picture(int32_t kind) {
  Drawing d = blank(16, 16);
  for (int32_t y = 0; y < 16; ++y) {
    for (int32_t x = 0; x < 16; ++x) {
      int32_t& p = d[static_cast<size_t>(y)][static_cast<size_t>(x)];
      switch (kind) {
        case BRICK:
          p = x < 8 ? 4 : (y % 4 == 0 ? 7 : 6);
          break;
        case FLAME_0:
          p = y < 6 ? 12 : (x == 3 ? 14 : 0);
          break;
        case FLAME_1:
          p = y >= 10 ? 14 : (x == 12 ? 12 : 0);
          break;
        case SKULL:
          p = (x == y || x == 15 - y) ? 7 : (y == 0 ? 8 : 0);
          break;
        case PLAYER:
          p = (x == 7 || y == 9) ? 9 : (x == 1 && y == 1 ? 2 : 0);
          break;
      }
    }
  }
  return d;
}

class GameFrames : public GameFixture {
 protected:
  void SetUp() override {
    GameFixture::SetUp();
    dir_ = fs::temp_directory_path() / ("tilewalk-frames-" + std::to_string(::getpid()));
    fs::create_directories(dir_);
    for (int32_t kind = BRICK; kind <= PLAYER; ++kind) {
      write_mem(path(kind), picture(kind));
    }
    Drawing map = blank(64, 32);
    for (const Cell& c : TEST_CELLS)
      map[static_cast<size_t>(c.y)][static_cast<size_t>(c.x)] = c.code;
    for (int32_t x = 60; x < 64; ++x)
      map[20][static_cast<size_t>(x)] = 1;  // a wall to the map edge
    write_mem(path(MAP), map);
    for (size_t i = 0; i < 6; ++i) {
      path_strings_[i] = path(static_cast<int32_t>(i)).string();
      paths_[i] = path_strings_[i].c_str();
    }
    fake_now = 100.0;
    state_.clock = fake_clock;
  }
  void TearDown() override {
    GameFixture::TearDown();
    fs::remove_all(dir_);
  }

  fs::path path(int32_t slot) const { return dir_ / ("asset" + std::to_string(slot) + ".mem"); }

  fs::path dir_;
  std::array<std::string, 6> path_strings_;
  std::array<const char*, 6> paths_{};
};

struct FrameCase {
  const char* name;
  int32_t start_x, start_y;  // position set before the keys
  const char* keys;          // one frame per key; '.' is a frame with no key
  int32_t end_x, end_y;      // where the player stands after the last frame
};

class GameFrameTable : public GameFrames, public ::testing::WithParamInterface<FrameCase> {};

TEST_P(GameFrameTable, ShowsTheExpectedFrame) {
  const FrameCase& c = GetParam();
  start(paths_);
  state_.position.x = c.start_x;
  state_.position.y = c.start_y;
  for (const char* k = c.keys; *k; ++k) {
    if (*k == '.') {
      frame_step(state_);
    } else {
      step(*k);
    }
  }
  EXPECT_EQ(state_.position.x, c.end_x);
  EXPECT_EQ(state_.position.y, c.end_y);
  EXPECT_TRUE(
      golden::matches_golden(std::string("tests/game/golden/") + c.name + ".mem", shown_page()));
}

INSTANTIATE_TEST_SUITE_P(Steps, GameFrameTable,
                         ::testing::Values(FrameCase{"start", 2, 2, ".", 2, 2},
                                           FrameCase{"refused_brick", 2, 2, "6", 2, 2},
                                           FrameCase{"after_refused_brick", 2, 2, "6.", 2, 2},
                                           FrameCase{"refused_flame2", 2, 2, "2", 2, 2},
                                           FrameCase{"on_flame3", 2, 2, "4", 1, 2},
                                           FrameCase{"refused_skull", 2, 2, "8", 2, 2},
                                           FrameCase{"on_box", 2, 2, "3", 3, 3},
                                           FrameCase{"on_code200", 2, 2, "7", 1, 1},
                                           FrameCase{"diagonal_between_walls", 2, 2, "9", 3, 1},
                                           FrameCase{"floor_far", 30, 15, "1", 29, 16},
                                           FrameCase{"map_right_edge", 63, 21, "6", 64, 21},
                                           FrameCase{"refused_page_right", 319, 10, "6", 319, 10},
                                           FrameCase{"refused_page_bottom", 10, 199, "2", 10, 199},
                                           FrameCase{"page_corner", 319, 199, ".", 319, 199}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(GameFrames, BothAnimationPhases) {
  start(paths_);
  frame_step(state_);  // the first check always flips: phase 1
  EXPECT_EQ(state_.animation_phase, 1);
  EXPECT_TRUE(golden::matches_golden("tests/game/golden/phase_1.mem", shown_page()));
  fake_now += 0.1;
  frame_step(state_);
  EXPECT_EQ(state_.animation_phase, 1);
  fake_now += 0.15;
  frame_step(state_);
  EXPECT_EQ(state_.animation_phase, 0);
  EXPECT_TRUE(golden::matches_golden("tests/game/golden/phase_0.mem", shown_page()));
}

TEST_F(GameFrames, FlatProgramAppliesTheRuleWithoutReadout) {
  start(paths_, false);
  step('6');  // refused
  frame_step(state_);
  EXPECT_EQ(state_.position.x, 2);
  step('4');
  EXPECT_EQ(state_.position.x, 1);
  EXPECT_TRUE(golden::matches_golden("tests/game/golden/flat_on_flame3.mem", shown_page()));
}

TEST_F(GameFrames, ArrowsLettersFiveAndZeroMoveNothing) {
  start(paths_);
  for (runtime::KeyCode key : {0x48FF, 0x4DFF, 0x4CFF, int32_t{'5'}, int32_t{'0'}, int32_t{'a'},
                               int32_t{' '}, runtime::KEY_CLOSE}) {
    step(key);
    EXPECT_EQ(state_.position.x, 2);
    EXPECT_EQ(state_.position.y, 2);
  }
}

TEST_F(GameFrames, TwoQueuedKeysMoveOnTwoFrames) {
  start(paths_);
  state_.position = {30, 15, 0, 0};
  runtime::screen_lock();
  runtime::key_post('6');
  runtime::key_post('6');
  runtime::screen_unlock();
  frame_step(state_);
  EXPECT_EQ(state_.position.x, 31);
  frame_step(state_);
  EXPECT_EQ(state_.position.x, 32);
  frame_step(state_);
  EXPECT_EQ(state_.position.x, 32);
}

TEST_F(GameFrames, MapPageHoldsTheMapAndNothingElse) {
  start(paths_);
  for (const Cell& c : TEST_CELLS) EXPECT_EQ(map_cell(c.x, c.y), c.code & 255);
  int32_t outside = 0;
  for (int32_t y = 0; y < 200; ++y) {
    for (int32_t x = 64; x < 320; ++x) outside += map_cell(x, y) != 0;
  }
  EXPECT_EQ(outside, 0);
}

// The shipped datapack: the first frame and a short walk.
TEST_F(GameFixture, ShippedDatapackStartFrame) {
  state_.clock = fake_clock;
  start_shipped();
  frame_step(state_);
  EXPECT_TRUE(golden::matches_golden("tests/game/golden/shipped_start.mem", shown_page()));
}

TEST_F(GameFixture, ShippedDatapackWalk) {
  state_.clock = fake_clock;
  start_shipped();
  for (char key : std::string("666333222")) step(key);
  frame_step(state_);  // the last step was refused: this frame shows where the player is
  EXPECT_EQ(state_.position.x, 8);
  EXPECT_TRUE(golden::matches_golden("tests/game/golden/shipped_walk.mem", shown_page()));
}

}  // namespace
}  // namespace game
