// DisplayBackEnd: one way of showing the screen on the platform, as a record
// of operations, and the fixed ordered list window_open tries. Back ends share
// the thread and the tick (window_thread.cpp); what differs between them is a
// WindowPlatform: how the window is made, shown, fed events and switched to
// full screen. No SDL here.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "runtime/window/window_state.h"

namespace runtime {

// The platform half of a back end. Every operation runs on the window side's
// thread; those marked "lock held" run inside a tick.
struct WindowPlatform {
  // Make the window for state.title, width, height and full_screen; read and
  // switch off the screen saver into state.saved_screen_saver. On failure set
  // state.error and return false (destroy is called afterwards).
  bool (*create)(WindowState& state);
  // Take the window down, put the screen saver back. Safe after a failed create.
  void (*destroy)(WindowState& state);
  // Lock held: show rows first..last of state.pixels.
  void (*show_rows)(WindowState& state, int32_t first, int32_t last);
  // Lock held: handle every waiting event (posting keys with key_post,
  // calling window_fullscreen_toggle, window_repaint_all).
  void (*handle_events)(WindowState& state);
  // Lock held: switch the existing window to full screen or back; false if
  // the platform refused.
  bool (*set_full_screen)(WindowState& state, bool on);
};

// Every back end shares the screen's lock (screen_lock.h) and the window
// side's palette copy (window_set_palette), so the record carries no
// operations for them: only what differs from one back end to the next.
struct DisplayBackEnd {
  const char* name;
  // 0 when the window side is running, anything else on refusal or failure.
  int32_t (*start)(const std::string& title, int32_t width, int32_t height, int32_t depth,
                   int32_t refresh, int32_t flags);
  void (*stop)();
  const WindowPlatform* platform;
};

// The back ends window_open tries, in order: the test seam's list when one
// is set, else the built-in list (back_end_list.cpp).
std::span<const DisplayBackEnd* const> window_back_ends();
std::span<const DisplayBackEnd* const> window_back_ends_built_in();

// Test seam: replace the list (empty span restores the built-in one). The
// programs never call it.
void window_set_back_ends_for_tests(std::span<const DisplayBackEnd* const> back_ends);

// The shared part of every back end's start: reset the state, start the
// window thread with `platform`, wait until it is ready or has ended.
int32_t window_thread_start(const WindowPlatform& platform, const std::string& title,
                            int32_t width, int32_t height, int32_t depth, int32_t refresh,
                            int32_t flags);
// Clears running, waits for the thread to end. Safe when none runs.
void window_thread_stop();

// Window thread, inside a tick: the two requests a platform passes on.
void window_fullscreen_toggle(WindowState& state);
void window_activation_changed(WindowState& state, bool active);

}  // namespace runtime
