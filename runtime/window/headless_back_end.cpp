#include "runtime/window/headless_back_end.h"

#include <array>
#include <atomic>
#include <chrono>
#include <deque>
#include <mutex>
#include <thread>

#include "runtime/screen/paged_screen.h"
#include "runtime/screen/screen_lock.h"
#include "runtime/window/window.h"

namespace runtime {
namespace {

std::mutex inject_mutex;
std::deque<KeyCode> injected;
std::atomic<int64_t> ticks{0};
std::atomic<int64_t> presentations{0};
std::atomic<bool> open{false};
std::atomic<bool> taken_away{false};
std::vector<uint32_t> shown;  // written by the window thread under the screen lock
int32_t failures_left = 0;
std::vector<HeadlessStartAttempt> attempts;
std::function<void(const std::vector<uint32_t>&)> present_observer;

bool create(WindowState& state) {
  attempts.push_back({state.refresh, state.flags});
  if (failures_left > 0) {
    --failures_left;
    state.error = "headless start refused on purpose";
    return false;
  }
  shown.assign(state.pixels.size(), 0xFF000000u);
  open = true;
  return true;
}

void destroy(WindowState&) {
  open = false;
  ++ticks;  // wakes a waiter so it sees the window is gone
  ticks.notify_all();
}

void show_rows(WindowState& state, int32_t first, int32_t last) {
  const auto begin = static_cast<size_t>(first) * static_cast<size_t>(state.width);
  const auto end = static_cast<size_t>(last + 1) * static_cast<size_t>(state.width);
  std::copy(state.pixels.begin() + static_cast<ptrdiff_t>(begin),
            state.pixels.begin() + static_cast<ptrdiff_t>(end),
            shown.begin() + static_cast<ptrdiff_t>(begin));
  ++presentations;
  if (present_observer) present_observer(shown);
}

bool handle_events(WindowState&) {
  std::deque<KeyCode> keys;
  {
    std::lock_guard guard(inject_mutex);
    keys.swap(injected);
  }
  for (KeyCode code : keys) key_post(code);
  ++ticks;
  ticks.notify_all();
  return !taken_away.exchange(false);
}

bool set_full_screen(WindowState&, bool) { return true; }

const DisplayBackEnd HEADLESS_BACK_END = {
    "headless", 0, create, destroy, show_rows, handle_events, set_full_screen};

const std::array<const DisplayBackEnd*, 1> HEADLESS_LIST = {&HEADLESS_BACK_END};

}  // namespace

void headless_install() {
  window_set_back_ends_for_tests(HEADLESS_LIST);
  failures_left = 0;
  attempts.clear();
}

void headless_fail_next_starts(int32_t count) { failures_left = count; }
const std::vector<HeadlessStartAttempt>& headless_start_attempts() { return attempts; }

void headless_inject_key(KeyCode code) {
  std::lock_guard guard(inject_mutex);
  injected.push_back(code);
}

void headless_take_window_away() { taken_away = true; }

void headless_wait_ticks(int32_t count) {
  const int64_t target = ticks.load() + count;
  for (int64_t now = ticks.load(); now < target && open; now = ticks.load()) {
    ticks.wait(now);
  }
}

std::vector<uint32_t> headless_shown() {
  screen_lock();
  std::vector<uint32_t> copy = shown;
  screen_unlock();
  return copy;
}

std::vector<int32_t> headless_shown_indices() {
  const std::vector<uint32_t> picture = headless_shown();
  std::vector<int32_t> indices(picture.size(), -1);
  for (size_t i = 0; i < picture.size(); ++i) {
    const uint32_t argb = picture[i];
    const uint32_t rgb = (argb >> 16 & 0xFF) | (argb & 0xFF00) | (argb & 0xFF) << 16;
    for (size_t index = 0; index < DEFAULT_PALETTE.size(); ++index) {
      if (DEFAULT_PALETTE[index] == rgb) {
        indices[i] = static_cast<int32_t>(index);
        break;
      }
    }
  }
  return indices;
}

int64_t headless_presentation_count() { return presentations.load(); }
bool headless_window_open() { return open.load(); }

void headless_on_present(std::function<void(const std::vector<uint32_t>& shown)> observer) {
  screen_lock();
  present_observer = std::move(observer);
  screen_unlock();
}

}  // namespace runtime
