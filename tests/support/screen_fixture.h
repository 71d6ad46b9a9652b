// The screen the runtime and game tests draw on, opened on the headless back
// end, and a wait for the window thread's ticks. The test's own thread only.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "runtime/screen/paged_screen.h"
#include "runtime/screen/screen_open.h"
#include "runtime/window/headless_back_end.h"
#include "runtime/window/window.h"

namespace support {

inline std::atomic<int64_t> ticks{0};

// Returns when `count` more ticks have run whole, so that anything drawn
// before the call has been presented. A window thread that stops ticking (a
// lock never released) ends the program: every later test would hang too.
inline void wait_ticks(int64_t count) {
  const int64_t target = ticks.load() + count;
  const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (ticks.load() < target) {
    if (std::chrono::steady_clock::now() > give_up) {
      std::fprintf(stderr, "the window thread stopped ticking\n");
      std::abort();
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}

inline void count_tick(std::chrono::steady_clock::time_point,
                       std::chrono::steady_clock::time_point) {
  ++ticks;
}

inline uint8_t* page(int32_t index) {
  return runtime::screen_page(*runtime::screen_current(), index);
}

// A screen as the game opens it (16 colours, 8 pages), page 1 the work page
// and page 0 the shown one, on the headless back end.
class ScreenTest : public ::testing::Test {
 protected:
  void SetUp() override {
    runtime::headless_install();
    runtime::window_set_tick_observer(count_tick);
    ASSERT_EQ(runtime::screen_open(320, 200, 4, 8, 0, 0), runtime::RESULT_OK);
    ASSERT_EQ(runtime::screen_set_pages(1, 0), 0);
  }
  void TearDown() override { runtime::screen_release(); }
};

}  // namespace support
