// The WindowState: everything the window side knows about the one open window.
// Written by the game's thread only while no window thread runs (window_open
// before the thread starts, window_close after it ended); otherwise owned by
// the window side's thread. No SDL here.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

namespace runtime {

struct DisplayBackEnd;

struct WindowState {
  std::atomic<bool> running{false};
  bool active = false;
  bool full_screen = false;
  int32_t flags = 0;
  int32_t refresh = 0;
  std::string title;
  int32_t width = 0;
  int32_t height = 0;
  int32_t depth = 8;
  int32_t outer_width = 0;
  int32_t outer_height = 0;
  std::array<uint32_t, 256> palette{};  // the colours shown: red bits 0-7, green 8-15, blue 16-23
  bool palette_changed = false;
  std::array<uint32_t, 256> colours{};  // the palette in the picture's pixel format (ARGB8888)
  std::vector<uint32_t> pixels;         // width x height ARGB8888, what the window shows
  bool saved_screen_saver = false;
  const DisplayBackEnd* back_end = nullptr;
  void* platform = nullptr;  // the back end's own window data
  std::string error;         // why the last start failed
};

// The one WindowState of the process.
WindowState& window_state();

}  // namespace runtime
