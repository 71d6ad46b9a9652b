// A ticket lock under a game-thread nesting count.
//
// The game's loop releases and retakes the lock hundreds of times a frame. A
// plain mutex lets it win again and again while the window side's tick waits
// for milliseconds; with tickets, a thread that unlocks and relocks queues
// behind a waiting tick, so the tick gets the lock at the next release.
#include "runtime/screen/screen_lock.h"

#include "runtime/screen/lock_wait.h"

#include <atomic>
#include <thread>

namespace runtime {
namespace {

std::atomic<uint32_t> next_ticket{0};
std::atomic<uint32_t> now_serving{0};

// Only the game's thread reads or writes the nesting count.
int32_t game_lock_count = 0;

void acquire() {
  const uint32_t ticket = next_ticket.fetch_add(1, std::memory_order_relaxed);
  // A short spin covers the common case of a holder that is about to release;
  // after that, sleep in the kernel until the serving number moves.
  for (int spin = 0; spin < 64; ++spin) {
    if (now_serving.load(std::memory_order_acquire) == ticket) return;
  }
  for (;;) {
    const uint32_t serving = now_serving.load(std::memory_order_acquire);
    if (serving == ticket) return;
    lock_wait(now_serving, serving);
  }
}

void release() {
  now_serving.fetch_add(1, std::memory_order_release);
  lock_wake_all(now_serving);
}

}  // namespace

void screen_lock() {
  if (game_lock_count == 0) acquire();
  ++game_lock_count;
}

void screen_unlock() {
  if (game_lock_count <= 0) return;  // unbalanced unlock: ignore rather than corrupt the queue
  if (--game_lock_count == 0) release();
}

int32_t screen_lock_count() { return game_lock_count; }

void screen_lock_acquire_raw() { acquire(); }
void screen_lock_release_raw() { release(); }

void screen_lock_release_all() {
  if (game_lock_count > 0) {
    game_lock_count = 0;
    release();
  }
}

}  // namespace runtime
