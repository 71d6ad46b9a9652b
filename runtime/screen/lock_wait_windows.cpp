// The lock's sleep and wake-up on Windows (8 and later): WaitOnAddress, the
// counterpart of a Linux futex.
#include <windows.h>

#include "runtime/screen/lock_wait.h"

namespace runtime {

static_assert(sizeof(std::atomic<uint32_t>) == sizeof(uint32_t) &&
              std::atomic<uint32_t>::is_always_lock_free);

void lock_wait(std::atomic<uint32_t>& word, uint32_t old) {
  WaitOnAddress(&word, &old, sizeof old, INFINITE);
}

void lock_wake_all(std::atomic<uint32_t>& word) { WakeByAddressAll(&word); }

}  // namespace runtime
