// Measurement seam of the window side's tick, for the lock benchmark: the
// observer hears, after every tick, when the tick asked for the screen lock
// and when it got it. Set it only while no window is open.
#pragma once

#include <chrono>

namespace runtime {

using TickObserver = void (*)(std::chrono::steady_clock::time_point asked,
                              std::chrono::steady_clock::time_point granted);

void window_set_tick_observer(TickObserver observer);

}  // namespace runtime
