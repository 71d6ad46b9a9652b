// The KeyBuffer ring and the KeyString form of a code.
#include <gtest/gtest.h>

#include <deque>
#include <random>
#include <string>

#include "runtime/input/key_poll.h"

namespace runtime {
namespace {

class KeyRing : public ::testing::Test {
 protected:
  void SetUp() override { key_buffer() = KeyBuffer{}; }
  void TearDown() override { key_buffer() = KeyBuffer{}; }
};

TEST_F(KeyRing, KeepsTheFifteenNewestOfTwentyInOrder) {
  for (KeyCode k = 1; k <= 20; ++k) key_post(k);
  for (KeyCode k = 6; k <= 20; ++k) EXPECT_EQ(key_take(key_buffer()), k);
  EXPECT_EQ(key_take(key_buffer()), 0);
}

TEST_F(KeyRing, HoldsFifteenWithoutDropping) {
  for (KeyCode k = 1; k <= 15; ++k) key_post(k);
  EXPECT_EQ(key_take(key_buffer()), 1);
}

// Against a model queue that keeps the newest 15, over many wrap-arounds.
TEST_F(KeyRing, MixedPostsAndTakesMatchABoundedQueue) {
  std::deque<KeyCode> model;
  std::mt19937 rng(7);
  KeyCode next = 1;
  for (int step = 0; step < 5000; ++step) {
    if (rng() % 3 != 0) {
      key_post(next);
      model.push_back(next++);
      if (model.size() > 15) model.pop_front();
    } else {
      const KeyCode expected = model.empty() ? 0 : model.front();
      if (!model.empty()) model.pop_front();
      ASSERT_EQ(key_take(key_buffer()), expected) << "step " << step;
    }
  }
}

TEST_F(KeyRing, EmptyRingGivesNoKeyAndAStoredZeroReadsAsNone) {
  EXPECT_EQ(key_take(key_buffer()), 0);
  key_post(0);
  key_post(KEY_CLOSE);
  EXPECT_EQ(key_take(key_buffer()), 0);
  EXPECT_EQ(key_take(key_buffer()), KEY_CLOSE);
}

TEST_F(KeyRing, OutOfRangeIndicesAreWrappedIntoTheRing) {
  key_buffer().read_index = 35;
  key_buffer().write_index = 35;
  for (KeyCode k = 1; k <= 16; ++k) key_post(k);
  EXPECT_GE(key_buffer().write_index, 0);
  EXPECT_LT(key_buffer().write_index, 16);
  for (KeyCode k = 2; k <= 16; ++k) EXPECT_EQ(key_take(key_buffer()), k);
  EXPECT_EQ(key_take(key_buffer()), 0);
}

struct StringCase {
  KeyCode code;
  std::string expected;
};

class KeyStringForm : public ::testing::TestWithParam<StringCase> {};

TEST_P(KeyStringForm, Bytes) { EXPECT_EQ(key_string(GetParam().code), GetParam().expected); }

INSTANTIATE_TEST_SUITE_P(
    Codes, KeyStringForm,
    ::testing::Values(StringCase{0, ""}, StringCase{'8', "8"}, StringCase{27, "\x1b"},
                      StringCase{255, "\xff"}, StringCase{0x48FF, "\xffH"},
                      StringCase{KEY_CLOSE, "\xffk"}, StringCase{0x3BFF, "\xff;"},
                      StringCase{0x86FF, "\xff\x86"},
                      // Codes outside the posted range still give defined strings.
                      StringCase{256, std::string("\0\1", 2)}, StringCase{-1, "\xff"}));

}  // namespace
}  // namespace runtime
