// Helpers for the SDL window tests on SDL's dummy video driver: a fixture that
// selects the driver and counts ticks, and ways to look at what the window's
// surface holds. The window thread owns SDL; the test thread reads the surface
// only while it holds the screen lock, when no tick runs.
#pragma once

#include <SDL.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

#include "runtime/input/key_buffer.h"
#include "runtime/screen/paged_screen.h"
#include "runtime/screen/screen_lock.h"
#include "runtime/screen/screen_open.h"
#include "runtime/window/sdl_back_end.h"
#include "runtime/window/window.h"

namespace runtime::sdl_test {

inline std::atomic<int64_t> tick_count{0};

inline void count_tick(std::chrono::steady_clock::time_point,
                       std::chrono::steady_clock::time_point) {
  tick_count.fetch_add(1);
}

// Waits until `count` more ticks have run in full. The bound only keeps a
// broken window thread from hanging the suite.
inline bool wait_ticks(int64_t count) {
  const int64_t target = tick_count.load() + count;
  const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (tick_count.load() < target) {
    if (std::chrono::steady_clock::now() > give_up) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return true;
}

// Keys waiting in the ring, oldest first; empties it.
inline std::vector<KeyCode> take_keys() {
  std::vector<KeyCode> keys;
  screen_lock();
  KeyBuffer& ring = key_buffer();
  while (ring.read_index != ring.write_index) {
    keys.push_back(ring.slots[static_cast<size_t>(ring.read_index)]);
    ring.read_index = (ring.read_index + 1) % 16;
  }
  screen_unlock();
  return keys;
}

// The window's surface, as 0xRRGGBB per pixel. Lock held by the caller.
struct Surface {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> rgb;
  uint32_t at(int x, int y) const {
    return rgb[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)];
  }
};

inline Surface read_surface_locked() {
  Surface out;
  SDL_Window* window = sdl_back_end_window();
  if (window == nullptr) return out;
  SDL_Surface* surface = SDL_GetWindowSurface(window);
  if (surface == nullptr || SDL_MUSTLOCK(surface)) return out;
  out.width = surface->w;
  out.height = surface->h;
  out.rgb.resize(static_cast<size_t>(out.width) * static_cast<size_t>(out.height));
  const int bytes = surface->format->BytesPerPixel;
  for (int y = 0; y < out.height; ++y) {
    const auto* row = static_cast<const uint8_t*>(surface->pixels) + y * surface->pitch;
    for (int x = 0; x < out.width; ++x) {
      uint32_t value = 0;
      std::memcpy(&value, row + x * bytes, static_cast<size_t>(bytes));
      uint8_t r = 0, g = 0, b = 0;
      SDL_GetRGB(value, surface->format, &r, &g, &b);
      out.rgb[static_cast<size_t>(y) * static_cast<size_t>(out.width) + static_cast<size_t>(x)] =
          uint32_t{r} << 16 | uint32_t{g} << 8 | b;
    }
  }
  return out;
}

inline Surface read_surface() {
  screen_lock();
  Surface surface = read_surface_locked();
  screen_unlock();
  return surface;
}

// Scribbles over the surface so a test can see whether a repaint came.
inline void spoil_surface() {
  screen_lock();
  if (SDL_Window* window = sdl_back_end_window()) {
    if (SDL_Surface* surface = SDL_GetWindowSurface(window)) {
      SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, 0x12, 0x34, 0x56));
    }
  }
  screen_unlock();
}

// The colour a palette index shows on a freshly opened screen, as 0xRRGGBB.
inline uint32_t default_rgb(uint8_t index) {
  if (index >= DEFAULT_PALETTE.size()) return 0;
  const uint32_t c = DEFAULT_PALETTE[index];
  return (c & 0xFF) << 16 | (c & 0xFF00) | (c >> 16 & 0xFF);
}

// A picture that gives every default colour, plus indices above 15 (black).
inline uint8_t pattern_index(int x, int y) {
  if (y % 50 == 7) return static_cast<uint8_t>(16 + x % 200);
  return static_cast<uint8_t>((x / 4 + y / 3) % 16);
}

// Puts the pattern on page 1 and copies it onto the shown page 0.
inline void show_pattern() {
  PagedScreen* screen = screen_current();
  ASSERT_NE(screen, nullptr);
  uint8_t* page = screen_page(*screen, 1);
  for (int y = 0; y < screen->height; ++y) {
    for (int x = 0; x < screen->width; ++x) page[y * screen->pitch + x] = pattern_index(x, y);
  }
  ASSERT_EQ(screen_copy_page(1, 0), RESULT_OK);
}

// Counts the pixels of a 1:1 surface that differ from the pattern.
inline int64_t pattern_mismatches(const Surface& surface) {
  int64_t wrong = 0;
  for (int y = 0; y < surface.height; ++y) {
    for (int x = 0; x < surface.width; ++x) {
      if (surface.at(x, y) != default_rgb(pattern_index(x, y))) ++wrong;
    }
  }
  return wrong;
}

// Each test opens its own window on the dummy driver and leaves none behind.
class SdlWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    window_set_tick_observer(count_tick);
  }
  void TearDown() override {
    screen_release();
    window_set_tick_observer(nullptr);
  }
  static void open_screen() {
    ASSERT_EQ(screen_open(320, 200, 4, 8, 0, 0), RESULT_OK) << window_last_error();
    ASSERT_NE(sdl_back_end_window(), nullptr);
  }
  static SDL_Event window_event(uint8_t which) {
    SDL_Event event{};
    event.type = SDL_WINDOWEVENT;
    event.window.event = which;
    event.window.windowID = SDL_GetWindowID(sdl_back_end_window());
    return event;
  }
};

}  // namespace runtime::sdl_test
