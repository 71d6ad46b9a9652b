#include "runtime/input/key_poll.h"

#include "runtime/screen/paged_screen.h"
#include "runtime/screen/screen_lock.h"

namespace runtime {

// Kept apart from the ring so that code using only the ring does not pull in
// the screen.
std::string key_poll() {
  // Without a screen no window posts keys; the console keyboard is not read.
  if (screen_current() == nullptr) return {};
  screen_lock();
  const KeyCode code = key_take(key_buffer());
  screen_unlock();
  return key_string(code);
}

}  // namespace runtime
