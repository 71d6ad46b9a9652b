// key_poll through an open screen: keys the window side posts come out as key
// strings, oldest first, and no screen means no key is taken.
#include <gtest/gtest.h>

#include <string>

#include "runtime/input/key_poll.h"
#include "runtime/input/strings.h"
#include "runtime/screen/paged_screen.h"
#include "runtime/screen/screen_open.h"
#include "runtime/window/headless_back_end.h"

namespace runtime {
namespace {

class KeyPoll : public ::testing::Test {
 protected:
  void SetUp() override {
    headless_install();
    key_buffer() = KeyBuffer{};
  }
  void TearDown() override {
    screen_release();
    key_buffer() = KeyBuffer{};
  }
};

TEST_F(KeyPoll, TwentyPostedKeysLeaveTheNewestFifteen) {
  ASSERT_EQ(screen_open(320, 200, 4, 8, 0, 0), RESULT_OK);
  for (KeyCode k = 'a'; k < 'a' + 20; ++k) headless_inject_key(k);
  headless_wait_ticks(2);
  EXPECT_EQ(key_poll(), "f");  // the 6th
  for (char c = 'g'; c <= 't'; ++c) EXPECT_EQ(key_poll(), std::string(1, c));
  EXPECT_EQ(key_poll(), "");  // the 16th
}

TEST_F(KeyPoll, KeyStringsTheGameTests) {
  ASSERT_EQ(screen_open(320, 200, 4, 8, 0, 0), RESULT_OK);
  for (KeyCode k : {KeyCode{'8'}, KeyCode{0x48FF}, KeyCode{27}, KEY_CLOSE}) headless_inject_key(k);
  headless_wait_ticks(2);
  const std::string eight = key_poll();
  EXPECT_EQ(string_find(1, "789", eight), 2);
  EXPECT_EQ(string_find(1, "123", eight), 0);
  const std::string up = key_poll();
  EXPECT_EQ(up, "\xffH");
  EXPECT_EQ(string_find(1, "789", up), 0);
  const char escape_literal[2] = {27, 0};
  EXPECT_EQ(string_compare(key_poll(), escape_literal), 0);
  EXPECT_EQ(key_poll(), "\xffk");
  const std::string none = key_poll();
  EXPECT_EQ(string_length(none), 0);
}

TEST_F(KeyPoll, WithoutAScreenTakesNothingAndKeysOutliveTheScreen) {
  key_post('5');  // no window thread runs, so this thread may post
  EXPECT_EQ(key_poll(), "");
  ASSERT_EQ(screen_open(320, 200, 4, 8, 0, 0), RESULT_OK);
  EXPECT_EQ(key_poll(), "5");
  headless_inject_key('6');
  headless_wait_ticks(2);
  screen_release();
  EXPECT_EQ(key_poll(), "");
  ASSERT_EQ(screen_open(320, 200, 4, 8, 0, 0), RESULT_OK);
  EXPECT_EQ(key_poll(), "6");
}

}  // namespace
}  // namespace runtime
