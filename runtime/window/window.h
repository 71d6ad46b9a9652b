// The window side: the one window of the open screen, the thread that owns it
// and its 10 ms tick, and the ordered list of back ends that can make it.
//
// A back end is one record of operations (DisplayBackEnd). window_open walks
// the list, starts the window thread with the first back end whose window
// comes up, and that thread then runs the back end's operations: nothing else
// does. (A back end may host the window side on an event loop of its
// platform instead: see DisplayBackEnd::host.) The screen module calls
// window_open, window_close and window_set_palette from the game's thread;
// back ends call the requests at the bottom from the window thread, inside a
// tick. No SDL here.
#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace runtime {

struct DisplayBackEnd;

// Bits of the flags screen_open passes on.
constexpr int32_t WINDOW_FULL_SCREEN = 0x01;
constexpr int32_t WINDOW_OPENGL = 0x02;
constexpr int32_t WINDOW_NO_SWITCHING = 0x04;
constexpr int32_t WINDOW_NO_FRAME = 0x08;
constexpr int32_t WINDOW_SHAPED = 0x10;

// Everything the window side knows about the one window. Written by the
// game's thread only while no window thread runs (before window_open starts
// it, after window_close has joined it); otherwise the window thread's.
struct WindowState {
  std::atomic<bool> running{false};
  bool active = false;
  bool full_screen = false;
  int32_t flags = 0;
  int32_t refresh = 0;
  std::string title;
  int32_t width = 0;
  int32_t height = 0;
  int32_t outer_width = 0;
  int32_t outer_height = 0;
  std::array<uint32_t, 256> palette{};  // the colours shown: red bits 0-7, green 8-15, blue 16-23
  bool palette_changed = false;
  std::array<uint32_t, 256> colours{};  // the palette in the picture's pixel format (ARGB8888)
  std::vector<uint32_t> pixels;         // width x height ARGB8888, what the window shows
  bool saved_screen_saver = false;
  const DisplayBackEnd* back_end = nullptr;  // the one that runs, null when none does
  void* platform = nullptr;                  // the running back end's own window data
  std::string error;                         // why the last attempt failed
};

// One way of showing the screen on the platform. Every operation runs on the
// window thread; those marked "in a tick" run with the screen lock held.
struct DisplayBackEnd {
  const char* name;
  int32_t refused_flags;  // screen_open flags this back end cannot honour
  // Make the window for state.title, width, height and full_screen, switch
  // the screen saver off (remembering it in state.saved_screen_saver). On
  // failure set state.error and return false; destroy runs afterwards.
  bool (*create)(WindowState& state);
  // Take the window down, put the screen saver back. Safe after a failed create.
  void (*destroy)(WindowState& state);
  // In a tick: show rows first..last of state.pixels.
  void (*show_rows)(WindowState& state, int32_t first, int32_t last);
  // In a tick: handle every waiting event (key_post, window_fullscreen_toggle,
  // window_activation_changed). False when the window has been lost: the tick
  // then takes it down and makes a new one.
  bool (*handle_events)(WindowState& state);
  // In a tick: switch the window to full screen or back; false if refused.
  bool (*set_full_screen)(WindowState& state, bool on);
  // Null for a back end whose window side is the window thread window_open
  // starts. A platform where only an event loop it already runs may touch the
  // window (a browser page's main thread) hosts the window side there
  // instead: called on the game's thread, `host` arranges for `step` to run
  // on that loop at once and then every 10 ms until it returns false. Every
  // operation above then runs on that loop.
  void (*host)(bool (*step)()) = nullptr;
};

// 0 when a window is up and its thread is presenting; nonzero when no back end
// could start (window_last_error says why). Game's thread. The window shows
// palette indices whatever the pages' depth, so `depth` changes nothing here.
int32_t window_open(const std::string& title, int32_t width, int32_t height, int32_t depth,
                    int32_t refresh, int32_t flags);

// Ends the window thread and takes the window down. No-op when none is open.
void window_close();

// Caller holds the screen lock and marks the rows dirty itself.
void window_set_palette(int32_t index, uint8_t red, uint8_t green, uint8_t blue);

// The window title for a program path: its last component with everything
// from the last "." removed.
std::string window_title_from_path(std::string_view path);

// The running program's name, for its window title and its messages: the
// title of its executable file's path, whatever name it was started under.
std::string window_program_name();

// Window thread: the window is gone and cannot be made again. Writes
// "NAME: the window was lost: REASON" on standard error and ends the process
// with exit code 1 at once, without running static destructors (the window
// thread is still joinable then).
[[noreturn]] void window_lost(const std::string& reason);

// Why the last window_open failed (from the platform), for the game's message.
std::string window_last_error();

// The back ends window_open tries: the ones installed for tests, else the
// built-in list.
std::span<const DisplayBackEnd* const> window_back_ends();

// Seams for tests, benchmarks and fuzz targets; the programs never call them.
// An empty span restores the built-in list. Set either only while no window
// is open.
void window_set_back_ends_for_tests(std::span<const DisplayBackEnd* const> back_ends);
// Heard after every tick: when the tick asked for the screen lock and when it
// got it (the lock benchmark's measurement).
using TickObserver = void (*)(std::chrono::steady_clock::time_point asked,
                              std::chrono::steady_clock::time_point granted);
void window_set_tick_observer(TickObserver observer);

// The one WindowState of the process.
WindowState& window_state();

// Window thread, inside a tick: the requests a back end passes on.
void window_fullscreen_toggle(WindowState& state);
void window_activation_changed(WindowState& state, bool active);

}  // namespace runtime
