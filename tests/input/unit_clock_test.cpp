// The clock counts seconds from system start, not from program start.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "runtime/input/clock.h"

namespace runtime {
namespace {

TEST(Clock, HalfASecondApartReadsAboutHalfASecond) {
  const double first = clock_seconds();
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  const double second = clock_seconds();
  // A loaded machine may oversleep; it never undersleeps.
  EXPECT_GE(second - first, 0.499);
  EXPECT_LT(second - first, 1.5);
}

TEST(Clock, OriginIsSystemStartNotProgramStart) {
  // The program has run for well under a second here; a clock that started
  // with the program would read near 0.
  EXPECT_GT(clock_seconds(), 1.0);
}

TEST(Clock, NeverGoesBackwards) {
  double last = clock_seconds();
  for (int i = 0; i < 100000; ++i) {
    const double now = clock_seconds();
    ASSERT_GE(now, last);
    last = now;
  }
}

}  // namespace
}  // namespace runtime
