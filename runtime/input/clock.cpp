#include "runtime/input/clock.h"

#include <time.h>

namespace runtime {

// CLOCK_MONOTONIC counts from boot with nanosecond resolution and exists on
// every Linux this runs on, so there is no coarser fallback to choose: a
// failing call (which POSIX only allows for an unknown clock id) reads as 0.
double clock_seconds() {
  timespec now{};
  if (clock_gettime(CLOCK_MONOTONIC, &now) != 0) return 0.0;
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

}  // namespace runtime
