// The window side's thread and its 10 ms tick, shared by every back end, and
// window_open's walk through the back-end list. The window side is a series of
// steps, so a back end that hosts it on its platform's event loop runs the
// same steps the thread runs.
//
// The tick is the only place the window thread touches the screen: it takes
// the underlying screen lock, applies a changed palette, presents the dirty
// rows, handles the waiting window events (which post keys), and lets go
// before it sleeps.
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <thread>

#include "runtime/window/window.h"

#include "runtime/screen/paged_screen.h"
#include "runtime/screen/screen_lock.h"
#include "runtime/window/back_end_list.h"
#include "runtime/window/process.h"

namespace runtime {
namespace {

constexpr auto TICK_PAUSE = std::chrono::milliseconds(10);
constexpr uint32_t OPAQUE = 0xFF000000u;

WindowState the_state;
std::span<const DisplayBackEnd* const> test_back_ends;
std::thread window_thread;
// Whether a window side runs: set and cleared by the game's thread only, so
// it never reads the back end the window side may be switching.
bool window_side_up = false;
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

void reset_state(const std::string& title, int32_t width, int32_t height, int32_t refresh,
                 int32_t flags) {
  WindowState& state = the_state;
  state.running = false;
  state.active = false;
  state.full_screen = (flags & WINDOW_FULL_SCREEN) != 0;
  state.flags = flags;
  state.refresh = refresh;
  state.title = title;
  state.width = width;
  state.height = height;
  state.outer_width = 0;
  state.outer_height = 0;
  state.palette.fill(0);
  state.palette_changed = true;
  state.colours.fill(OPAQUE);
  state.pixels.assign(static_cast<size_t>(width) * static_cast<size_t>(height), OPAQUE);
  state.saved_screen_saver = false;
  state.back_end = nullptr;
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

void present(WindowState& state, const DisplayBackEnd& back_end) {
  if (state.palette_changed) apply_palette(state);
  const PresentedRows rows =
      present_dirty_rows(state.colours.data(), state.pixels.data(), state.width);
  if (rows.first >= 0) back_end.show_rows(state, rows.first, rows.last);
}

// The screen_open flags with the full-screen bit as `full_screen` says.
int32_t form_flags(int32_t flags, bool full_screen) {
  return full_screen ? flags | WINDOW_FULL_SCREEN : flags & ~WINDOW_FULL_SCREEN;
}

// Takes the window down and makes it again in the given form, with the first
// back end of the list that accepts that form; false when none comes up.
// The picture, palette included, is shown whole again in the new window.
bool remake_window(WindowState& state, bool full_screen) {
  if (state.back_end != nullptr) state.back_end->destroy(state);
  state.full_screen = full_screen;
  for (const DisplayBackEnd* back_end : window_back_ends()) {
    if ((form_flags(state.flags, full_screen) & back_end->refused_flags) != 0) continue;
    state.back_end = back_end;
    state.error.clear();
    if (back_end->create(state)) {
      screen_mark_all_rows();
      state.active = true;
      return true;
    }
    back_end->destroy(state);
  }
  return false;
}

void present_tick(WindowState& state, const DisplayBackEnd& back_end) {
  const auto asked = std::chrono::steady_clock::now();
  screen_lock_acquire_raw();
  const auto granted = std::chrono::steady_clock::now();
  present(state, back_end);
  if (!back_end.handle_events(state)) {
    // Taken away by someone else: a new window, with the whole picture,
    // before the tick ends; the game never notices.
    if (!remake_window(state, state.full_screen)) window_lost(state.error);
    present(state, *state.back_end);
  }
  screen_lock_release_raw();
  if (tick_observer) tick_observer(asked, granted);
}

// Whether the window side's first step has made the window. Window side only
// once it runs.
bool window_made = false;

// The window side as steps, run every 10 ms by the window thread or by the
// loop that hosts it: the first makes the window and reports how that went,
// each one while running is set is a tick, and the one that finds running
// cleared takes the window down and reports the end. False once it is over.
bool window_side_step() {
  WindowState& state = the_state;
  // Fetched at every step: a full-screen switch or a lost window can hand
  // the window to another back end.
  const DisplayBackEnd& back_end = *state.back_end;
  if (!window_made) {
    if (!back_end.create(state)) {
      back_end.destroy(state);
      report_startup(Startup::ended);
      return false;
    }
    window_made = true;
    report_startup(Startup::ready);
    state.active = true;
  }
  if (state.running.load(std::memory_order_acquire)) {
    present_tick(state, back_end);
    return true;
  }
  back_end.destroy(state);
  report_startup(Startup::ended);
  return false;
}

void thread_main() {
  while (window_side_step()) std::this_thread::sleep_for(TICK_PAUSE);
}

// Game's thread: waits until the window side reports something other than
// `outcome`, and returns what it reported.
Startup wait_for_startup_other_than(Startup outcome) {
  std::unique_lock guard(startup_mutex);
  startup_changed.wait(guard, [outcome] { return startup != outcome; });
  return startup;
}

// Resets the state, starts the window thread with `back_end` and waits until
// its window is up (true) or the thread has ended (false).
bool start_thread(const DisplayBackEnd& back_end, const std::string& title, int32_t width,
                  int32_t height, int32_t refresh, int32_t flags) {
  if (window_side_up) return false;
  reset_state(title, width, height, refresh, flags);
  if ((flags & back_end.refused_flags) != 0) {
    the_state.error = std::string(back_end.name) + " cannot honour the flags " +
                      std::to_string(flags & back_end.refused_flags);
    return false;
  }
  startup = Startup::pending;
  window_made = false;
  the_state.back_end = &back_end;
  the_state.running.store(true, std::memory_order_release);
  if (back_end.host != nullptr) {
    back_end.host(window_side_step);
  } else {
    try {
      window_thread = std::thread(thread_main);
    } catch (const std::system_error&) {
      the_state.running = false;
      the_state.back_end = nullptr;
      the_state.error = "cannot start the window thread";
      return false;
    }
  }
  if (wait_for_startup_other_than(Startup::pending) == Startup::ended) {
    if (window_thread.joinable()) window_thread.join();
    the_state.running = false;
    the_state.back_end = nullptr;
    return false;
  }
  window_side_up = true;
  return true;
}

// Returns once the window side, told to stop (running cleared), has taken its
// window down: the thread has ended, or the hosting loop has run its last step.
void stop_thread() {
  if (window_thread.joinable()) {
    window_thread.join();
  } else {
    wait_for_startup_other_than(Startup::ready);
  }
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

int32_t window_open(const std::string& title, int32_t width, int32_t height, int32_t /*depth*/,
                    int32_t refresh, int32_t flags) {
  last_error.clear();
  for (int32_t pass = 0; pass < 2; ++pass) {
    const int32_t pass_flags = pass == 0 ? flags : flags ^ WINDOW_FULL_SCREEN;
    for (const DisplayBackEnd* back_end : window_back_ends()) {
      for (const int32_t pass_refresh : {refresh, 0}) {
        if (start_thread(*back_end, title, width, height, pass_refresh, pass_flags)) {
          process_window_opened();
          return 0;
        }
        if (last_error.empty()) last_error = the_state.error;
      }
    }
  }
  if (last_error.empty()) last_error = "no display back end is available";
  return 1;
}

void window_close() {
  if (!window_side_up) return;
  window_side_up = false;
  the_state.running.store(false, std::memory_order_release);
  // A game thread that still holds the lock would keep the last tick waiting.
  screen_lock_release_all();
  stop_thread();
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

std::string window_program_name() { return window_title_from_path(process_executable_path()); }

void window_lost(const std::string& reason) {
  const std::string line = window_program_name() + ": the window was lost: " + reason + "\n";
  std::fwrite(line.data(), 1, line.size(), stderr);
  std::fflush(stderr);
  // exit() would run static destructors while this very thread is joinable.
  std::_Exit(1);
}

std::string window_last_error() { return last_error; }

void window_fullscreen_toggle(WindowState& state) {
  if ((state.flags & WINDOW_NO_SWITCHING) != 0 || state.back_end == nullptr) return;
  const bool wanted = !state.full_screen;
  const bool in_place = (form_flags(state.flags, wanted) & state.back_end->refused_flags) == 0 &&
                        state.back_end->set_full_screen(state, wanted);
  if (in_place) {
    state.full_screen = wanted;
  } else if (!remake_window(state, wanted) && !remake_window(state, !wanted)) {
    window_lost(state.error);
  }
  // Every row is shown again in the new form; the palette's colours, kept
  // here, are unchanged.
  screen_mark_all_rows();
  state.active = true;
}

void window_activation_changed(WindowState& state, bool active) {
  state.active = active;
  screen_mark_all_rows();
}

}  // namespace runtime
