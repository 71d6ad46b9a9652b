// The window side as the screen sees it: the back-end retries, one window at
// a time, the full-screen switch, closing while the game holds the lock, and
// keys from the window thread reaching key_poll.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "runtime/input/key_poll.h"
#include "runtime/screen/boxes.h"
#include "runtime/screen/screen_lock.h"
#include "tests/support/screen_fixture.h"

namespace {

using namespace runtime;

TEST(Window, EachStartIsTriedAgainWithoutRefreshThenWithTheFullScreenBitFlipped) {
  headless_install();
  headless_fail_next_starts(3);
  ASSERT_EQ(screen_open(320, 200, 4, 8, 0, 60), RESULT_OK);
  std::vector<int32_t> tried;
  for (const HeadlessStartAttempt& a : headless_start_attempts())
    tried.push_back(a.refresh * 10 + a.flags);
  EXPECT_EQ(tried, (std::vector<int32_t>{600, 0, 601, 1}));
  EXPECT_TRUE(window_state().full_screen);
  headless_fail_next_starts(4);
  EXPECT_EQ(screen_open(320, 200, 4, 8, 0, 0), RESULT_ILLEGAL_CALL);
  EXPECT_EQ(screen_current(), nullptr);
  EXPECT_FALSE(window_state().running.load());
  EXPECT_NE(window_last_error(), "");
  for (const int32_t flags : {0, WINDOW_NO_SWITCHING}) {
    ASSERT_EQ(screen_open(320, 200, 4, 8, flags, 0), RESULT_OK);
    // One window at a time: another open is refused.
    EXPECT_NE(window_open("again", 320, 200, 8, 0, 0), 0);
    screen_lock();  // as inside a tick
    const size_t windows = headless_start_attempts().size();
    window_fullscreen_toggle(window_state());
    EXPECT_EQ(window_state().full_screen, flags == 0);
    EXPECT_EQ(headless_start_attempts().size(), windows);  // switched in place
    // An index past either end of the palette changes nothing.
    const auto palette = window_state().palette;
    for (const int32_t index : {-1, 256}) window_set_palette(index, 1, 2, 3);
    EXPECT_EQ(window_state().palette, palette);
    screen_unlock();
  }
  screen_release();
}

// A window someone else takes away is made again, the whole picture shown
// before the tick ends; one that cannot be made again ends the program.
TEST(WindowDeathTest, ATakenWindowIsMadeAgainOrTheProgramSaysItIsLost) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  headless_install();
  window_set_tick_observer(support::count_tick);
  ASSERT_EQ(screen_open(320, 200, 4, 8, 0, 0), RESULT_OK);
  draw_line(nullptr, 0, 0, 319, 199, 9, LINE_SHAPE_FILLED_BOX, LINE_STYLE_SOLID, 0);
  support::wait_ticks(2);
  const size_t made = headless_start_attempts().size();
  headless_take_window_away();
  support::wait_ticks(2);
  EXPECT_EQ(headless_start_attempts().size(), made + 1);
  EXPECT_EQ(headless_shown_indices(), std::vector<int32_t>(320 * 200, 9));
  const auto lose = [] {
    headless_fail_next_starts(1);
    headless_take_window_away();
    support::wait_ticks(100);
  };
  EXPECT_EXIT(lose(), ::testing::ExitedWithCode(1),
              ": the window was lost: headless start refused on purpose");
  screen_release();
}

TEST(Threads, ClosingWhileTheGameHoldsTheLockDoesNotHang) {
  headless_install();
  ASSERT_EQ(screen_open(320, 200, 4, 8, 0, 0), RESULT_OK);
  // One waiting for ticks is let go when the window closes: no more will come.
  static std::atomic<bool> let_go{false};  // outlives a waiter left hanging
  std::thread waiter([] {
    headless_wait_ticks(INT32_MAX);
    let_go = true;
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  screen_lock();
  screen_lock();
  screen_release();
  for (int i = 0; i < 3000 && !let_go; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_TRUE(let_go);
  let_go ? waiter.join() : waiter.detach();
  EXPECT_EQ(screen_lock_count(), 0);
  EXPECT_FALSE(headless_window_open());
  screen_lock();
  screen_unlock();
  EXPECT_EQ(screen_lock_count(), 0);
}

TEST(Threads, KeysFromTheWindowSideComeOutOldestFirstAndOutliveTheScreen) {
  headless_install();
  window_set_tick_observer(support::count_tick);
  key_buffer() = KeyBuffer{};
  key_post('5');              // no window thread runs yet, so this thread may post
  EXPECT_EQ(key_poll(), "");  // no screen: no key is taken
  ASSERT_EQ(screen_open(320, 200, 4, 8, 0, 0), RESULT_OK);
  for (KeyCode key : {KeyCode{'8'}, KeyCode{0x48FF}, KEY_CLOSE}) headless_inject_key(key);
  support::wait_ticks(2);
  screen_release();
  ASSERT_EQ(screen_open(320, 200, 4, 8, 0, 0), RESULT_OK);
  std::string keys;
  for (int i = 0; i < 5; ++i) keys += key_poll() + "|";
  EXPECT_EQ(keys, "5|8|\xffH|\xffk||");
  screen_release();
}

}  // namespace
