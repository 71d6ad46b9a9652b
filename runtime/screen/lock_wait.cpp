// The lock's sleep and wake-up on POSIX systems: the standard atomic wait.
#include "runtime/screen/lock_wait.h"

namespace runtime {

void lock_wait(std::atomic<uint32_t>& word, uint32_t old) {
  word.wait(old, std::memory_order_acquire);
}

void lock_wake_all(std::atomic<uint32_t>& word) { word.notify_all(); }

}  // namespace runtime
