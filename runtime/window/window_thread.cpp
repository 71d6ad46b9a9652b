// The window side's thread and its 10 ms tick, shared by every back end, and
// window_open's walk through the back-end list.
//
// The tick is the only place the window thread touches the screen: it takes
// the underlying screen lock, applies a changed palette, presents the dirty
// rows, handles the waiting window events (which post keys), and lets go
// before it sleeps.
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "runtime/screen/paged_screen.h"
#include "runtime/screen/screen_lock.h"
#include "runtime/window/display_back_end.h"
#include "runtime/window/window_side.h"
#include "runtime/window/window_tick.h"

namespace runtime {
namespace {

constexpr auto TICK_PAUSE = std::chrono::milliseconds(10);
constexpr uint32_t OPAQUE = 0xFF000000u;

WindowState the_state;
std::span<const DisplayBackEnd* const> test_back_ends;
std::thread window_thread;
const WindowPlatform* running_platform = nullptr;
std::string last_error;
TickObserver tick_observer = nullptr;

// Start-up handshake between window_thread_start and the new thread.
std::mutex startup_mutex;
std::condition_variable startup_changed;
enum class Startup { pending, ready, ended } startup = Startup::pending;

void report_startup(Startup outcome) {
  {
    std::lock_guard guard(startup_mutex);
    startup = outcome;
  }
  startup_changed.notify_all();
}

void reset_state(const std::string& title, int32_t width, int32_t height, int32_t depth,
                 int32_t refresh, int32_t flags) {
  WindowState& state = the_state;
  state.running = false;
  state.active = false;
  state.full_screen = (flags & 1) != 0;
  state.flags = flags;
  state.refresh = refresh;
  state.title = title;
  state.width = width;
  state.height = height;
  state.depth = depth < 8 ? 8 : depth;
  state.outer_width = 0;
  state.outer_height = 0;
  state.palette.fill(0);
  state.palette_changed = true;
  state.colours.fill(OPAQUE);
  state.pixels.assign(static_cast<size_t>(width) * static_cast<size_t>(height), OPAQUE);
  state.saved_screen_saver = false;
  state.platform = nullptr;
  state.error.clear();
}

void apply_palette(WindowState& state) {
  for (size_t index = 0; index < state.colours.size(); ++index) {
    const uint32_t rgb = state.palette[index];
    const uint32_t red = rgb & 0xFF, green = (rgb >> 8) & 0xFF, blue = (rgb >> 16) & 0xFF;
    state.colours[index] = OPAQUE | red << 16 | green << 8 | blue;
  }
  state.palette_changed = false;
}

void present_tick(WindowState& state, const WindowPlatform& platform) {
  const auto asked = std::chrono::steady_clock::now();
  screen_lock_acquire_raw();
  const auto granted = std::chrono::steady_clock::now();
  if (state.palette_changed) apply_palette(state);
  const PresentedRows rows =
      present_dirty_rows(state.colours.data(), state.pixels.data(), state.width);
  if (rows.first >= 0) platform.show_rows(state, rows.first, rows.last);
  platform.handle_events(state);
  screen_lock_release_raw();
  if (tick_observer) tick_observer(asked, granted);
}

void thread_main(const WindowPlatform* platform) {
  WindowState& state = the_state;
  if (!platform->create(state)) {
    platform->destroy(state);
    report_startup(Startup::ended);
    return;
  }
  report_startup(Startup::ready);
  state.active = true;
  while (state.running.load(std::memory_order_acquire)) {
    present_tick(state, *platform);
    std::this_thread::sleep_for(TICK_PAUSE);
  }
  platform->destroy(state);
}

}  // namespace

WindowState& window_state() { return the_state; }

std::span<const DisplayBackEnd* const> window_back_ends() {
  return test_back_ends.empty() ? window_back_ends_built_in() : test_back_ends;
}

void window_set_back_ends_for_tests(std::span<const DisplayBackEnd* const> back_ends) {
  test_back_ends = back_ends;
}

void window_set_tick_observer(TickObserver observer) { tick_observer = observer; }

int32_t window_thread_start(const WindowPlatform& platform, const std::string& title, int32_t width,
                            int32_t height, int32_t depth, int32_t refresh, int32_t flags) {
  if (window_thread.joinable()) return 1;
  reset_state(title, width, height, depth, refresh, flags);
  startup = Startup::pending;
  the_state.running.store(true, std::memory_order_release);
  running_platform = &platform;
  try {
    window_thread = std::thread(thread_main, &platform);
  } catch (const std::system_error&) {
    the_state.running = false;
    running_platform = nullptr;
    the_state.error = "cannot start the window thread";
    return 1;
  }
  std::unique_lock guard(startup_mutex);
  startup_changed.wait(guard, [] { return startup != Startup::pending; });
  if (startup == Startup::ended) {
    guard.unlock();
    window_thread.join();
    the_state.running = false;
    running_platform = nullptr;
    return 1;
  }
  return 0;
}

void window_thread_stop() {
  the_state.running.store(false, std::memory_order_release);
  if (window_thread.joinable()) window_thread.join();
  running_platform = nullptr;
}

int32_t window_open(const std::string& title, int32_t width, int32_t height, int32_t depth,
                    int32_t refresh, int32_t flags) {
  last_error.clear();
  for (int32_t pass = 0; pass < 2; ++pass) {
    const int32_t pass_flags = pass == 0 ? flags : flags ^ 1;
    for (const DisplayBackEnd* back_end : window_back_ends()) {
      for (const int32_t pass_refresh : {refresh, 0}) {
        if (back_end->start(title, width, height, depth, pass_refresh, pass_flags) == 0) {
          the_state.back_end = back_end;
          return 0;
        }
        if (last_error.empty()) last_error = the_state.error;
        back_end->stop();
      }
    }
  }
  if (last_error.empty()) last_error = "no display back end is available";
  return 1;
}

void window_close() {
  const DisplayBackEnd* back_end = the_state.back_end;
  if (!back_end) return;
  the_state.running.store(false, std::memory_order_release);
  // A game thread that still holds the lock would keep the last tick waiting.
  screen_lock_release_all();
  back_end->stop();
  the_state.back_end = nullptr;
}

void window_set_palette(int32_t index, uint8_t red, uint8_t green, uint8_t blue) {
  if (index < 0 || index > 255) return;
  the_state.palette[static_cast<size_t>(index)] =
      uint32_t{red} | uint32_t{green} << 8 | uint32_t{blue} << 16;
  the_state.palette_changed = true;
}

std::string window_title_from_path(std::string_view path) {
  const size_t slash = path.find_last_of('/');
  std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
  const size_t dot = name.find_last_of('.');
  if (dot != std::string_view::npos) name = name.substr(0, dot);
  return std::string(name);
}

std::string window_last_error() { return last_error; }

void window_fullscreen_toggle(WindowState& state) {
  if ((state.flags & 4) != 0 || !running_platform) return;
  const bool wanted = !state.full_screen;
  if (running_platform->set_full_screen(state, wanted)) {
    state.full_screen = wanted;
  } else {
    running_platform->set_full_screen(state, state.full_screen);
  }
  state.palette_changed = true;
  screen_mark_all_rows();
  state.active = true;
}

void window_activation_changed(WindowState& state, bool active) {
  state.active = active;
  screen_mark_all_rows();
}

}  // namespace runtime
