// How the screen reaches the window side: the back-end retries, the lock
// release on close, the title.
#include <gtest/gtest.h>

#include "runtime/screen/paged_screen.h"
#include "runtime/screen/screen_lock.h"
#include "runtime/screen/screen_open.h"
#include "runtime/window/headless_back_end.h"
#include "runtime/window/window.h"

namespace runtime {
namespace {

class WindowLinkTest : public ::testing::Test {
 protected:
  void SetUp() override { headless_install(); }
  void TearDown() override { screen_release(); }
};

TEST_F(WindowLinkTest, EachStartIsTriedTwiceThenWithTheFullScreenBitFlipped) {
  headless_fail_next_starts(3);
  ASSERT_EQ(screen_open(320, 200, 4, 8, 0, 60), RESULT_OK);
  const auto& attempts = headless_start_attempts();
  ASSERT_EQ(attempts.size(), 4u);
  EXPECT_EQ(attempts[0].refresh, 60);
  EXPECT_EQ(attempts[0].flags, 0);
  EXPECT_EQ(attempts[1].refresh, 0);
  EXPECT_EQ(attempts[1].flags, 0);
  EXPECT_EQ(attempts[2].refresh, 60);
  EXPECT_EQ(attempts[2].flags, 1);
  EXPECT_EQ(attempts[3].flags, 1);
  EXPECT_TRUE(window_state().full_screen);
}

TEST_F(WindowLinkTest, NoBackEndStartingMeansNoScreen) {
  headless_fail_next_starts(4);
  EXPECT_EQ(screen_open(320, 200, 4, 8, 0, 0), RESULT_ILLEGAL_CALL);
  EXPECT_EQ(screen_current(), nullptr);
  EXPECT_FALSE(window_last_error().empty());
  EXPECT_FALSE(headless_window_open());
}

TEST_F(WindowLinkTest, ClosingWhileTheGameHoldsTheLockDoesNotHang) {
  ASSERT_EQ(screen_open(320, 200, 4, 8, 0, 0), RESULT_OK);
  screen_lock();
  screen_lock();
  screen_release();
  EXPECT_EQ(screen_lock_count(), 0);
  EXPECT_FALSE(headless_window_open());
  // The lock is usable again afterwards.
  screen_lock();
  EXPECT_EQ(screen_lock_count(), 1);
  screen_unlock();
  EXPECT_EQ(screen_lock_count(), 0);
}

TEST_F(WindowLinkTest, InjectedKeysArriveInTheBufferUnderTheTick) {
  ASSERT_EQ(screen_open(320, 200, 4, 8, 0, 0), RESULT_OK);
  KeyBuffer& buffer = key_buffer();
  screen_lock();
  const int32_t before = buffer.write_index;
  screen_unlock();
  headless_inject_key(KEY_CLOSE);
  headless_wait_ticks(2);
  screen_lock();
  const int32_t after = buffer.write_index;
  const KeyCode stored = buffer.slots[static_cast<size_t>(before)];
  buffer.read_index = buffer.write_index;
  screen_unlock();
  EXPECT_EQ(after, (before + 1) % 16);
  EXPECT_EQ(stored, KEY_CLOSE);
}

struct TitleCase {
  const char* path;
  const char* title;
};

class WindowTitle : public ::testing::TestWithParam<TitleCase> {};

TEST_P(WindowTitle, IsTheFileNameWithoutItsLastExtension) {
  EXPECT_EQ(window_title_from_path(GetParam().path), GetParam().title);
}

INSTANTIATE_TEST_SUITE_P(Paths, WindowTitle,
                         ::testing::Values(TitleCase{"tilewalk", "tilewalk"},
                                           TitleCase{"/usr/games/tilewalk", "tilewalk"},
                                           TitleCase{"./build/tilewalk-flat", "tilewalk-flat"},
                                           TitleCase{"dir.d/tile.walk.exe", "tile.walk"},
                                           TitleCase{"game.", "game"}, TitleCase{"", ""}));

}  // namespace
}  // namespace runtime
