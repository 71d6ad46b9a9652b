// A screen opened on the headless back end for the drawing tests: page 1 is
// the work page and page 0 the visible page, as in the game, and the work page
// starts with a pattern in which no two neighbouring pixels are equal, so a
// stray write anywhere on it shows up when the page is compared whole.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <functional>
#include <vector>

#include "runtime/screen/paged_screen.h"
#include "runtime/screen/results.h"
#include "runtime/screen/screen_lock.h"
#include "runtime/screen/screen_open.h"
#include "runtime/window/headless_back_end.h"

namespace runtime::draw_test {

constexpr int32_t W = 320;
constexpr int32_t H = 200;

inline uint8_t pattern(int32_t x, int32_t y) {
  return static_cast<uint8_t>(0x40 + ((x * 7 + y * 13) % 61));
}

class DrawTest : public ::testing::Test {
 protected:
  void SetUp() override {
    headless_install();
    ASSERT_EQ(screen_open(W, H, 4, 8, 0, 0), RESULT_OK);
    ASSERT_EQ(screen_set_pages(1, 0), 0);
    fill_pattern(1);
  }
  void TearDown() override { screen_release(); }

  static uint8_t* page(int32_t index) { return screen_page(*screen_current(), index); }

  static void fill_pattern(int32_t index) {
    screen_lock();
    uint8_t* p = page(index);
    for (int32_t y = 0; y < H; ++y)
      for (int32_t x = 0; x < W; ++x) p[y * W + x] = pattern(x, y);
    screen_unlock();
  }

  static std::vector<uint8_t> snapshot(int32_t index) {
    const uint8_t* p = page(index);
    return std::vector<uint8_t>(p, p + W * H);
  }

  // The pattern page with `changed(x, y)` deciding, pixel by pixel, what each
  // byte must have become.
  static std::vector<uint8_t> expected_page(
      const std::function<uint8_t(int32_t, int32_t, uint8_t)>& changed) {
    std::vector<uint8_t> out(W * H);
    for (int32_t y = 0; y < H; ++y)
      for (int32_t x = 0; x < W; ++x) out[y * W + x] = changed(x, y, pattern(x, y));
    return out;
  }

  // First differing pixel, for a readable failure.
  static ::testing::AssertionResult same_page(const std::vector<uint8_t>& want,
                                              const std::vector<uint8_t>& got) {
    for (int32_t i = 0; i < W * H; ++i) {
      if (want[i] != got[i]) {
        return ::testing::AssertionFailure() << "pixel (" << i % W << ", " << i / W << ") is "
                                             << int{got[i]} << ", expected " << int{want[i]};
      }
    }
    return ::testing::AssertionSuccess();
  }

  // The dirty flags set by `draw`, observed with the lock held throughout so
  // the window side cannot present (and clear) them in between.
  static std::vector<uint8_t> rows_marked_by(const std::function<void()>& draw) {
    PagedScreen& screen = *screen_current();
    screen_lock();
    std::fill(screen.dirty_rows.begin(), screen.dirty_rows.end(), uint8_t{0});
    draw();
    std::vector<uint8_t> flags = screen.dirty_rows;
    screen_unlock();
    return flags;
  }
};

}  // namespace runtime::draw_test
