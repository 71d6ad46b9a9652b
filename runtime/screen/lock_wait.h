// Sleeping until the screen lock's serving number moves, and waking its
// sleepers: the one part of the lock that differs between platforms.
// lock_wait.cpp uses the standard library's atomic wait (a futex on Linux);
// lock_wait_windows.cpp uses WaitOnAddress, because MinGW-w64's libstdc++ 12
// builds atomic waits on a condition variable that can miss a wake-up (GCC
// bug 106183), which left both threads asleep at a game's start. Any thread.
#pragma once

#include <atomic>
#include <cstdint>

namespace runtime {

// Returns once `word` may no longer hold `old` (callers check again).
void lock_wait(std::atomic<uint32_t>& word, uint32_t old);
void lock_wake_all(std::atomic<uint32_t>& word);

}  // namespace runtime
