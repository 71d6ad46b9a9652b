// The paged screen: opening and its refusals, page roles and copies, and,
// with the window thread running, what the window shows.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <random>
#include <utility>
#include <vector>

#include "runtime/screen/boxes.h"
#include "runtime/screen/draw_state.h"
#include "runtime/screen/pixels.h"
#include "runtime/screen/screen_lock.h"
#include "tests/support/screen_fixture.h"

namespace {

using namespace runtime;
using support::page;

TEST(Pages, OpenRefusesWhatItCannotMakeAndRolesAndCopiesStayOnThePages) {
  headless_install();
  screen_release();
  EXPECT_EQ(screen_set_pages(1, 0) * 10 + screen_copy_page(1, 0), -10 + RESULT_ILLEGAL_CALL);
  draw_line(nullptr, 0, 0, 9, 9, 1, 2, 0, 0);  // nothing to draw on: ignored
  const int32_t DEPTH_BYTES[][2] = {{1, 1},  {2, 1},  {4, 1}, {8, 1}, {15, 2}, {16, 2},
                                    {24, 4}, {32, 4}, {0, 0}, {3, 0}, {33, 0}};
  for (const auto [depth, bpp] : DEPTH_BYTES) {
    const int32_t opened = screen_open(320, 200, depth, 2, 0, 0);
    EXPECT_EQ(opened == RESULT_OK ? screen_current()->pitch : 0, 320 * bpp) << depth;
  }
  EXPECT_EQ(screen_open(1, 1, 8, 1, 0, 0), RESULT_OK);  // the smallest screen there is
  ASSERT_EQ(screen_open(320, 200, 4, 0, 0, 0), RESULT_OK);
  EXPECT_EQ(screen_current()->page_count, 1);
  draw_line(nullptr, 0, 0, 319, 199, 9, 2, 0, 0);
  EXPECT_EQ(screen_open(320, 200, 3, 8, 0, 0) + screen_open(0, 200, 4, 8, 0, 0),
            2 * RESULT_ILLEGAL_CALL);
  EXPECT_EQ(page(0)[63999], 9);  // refused before the open screen was touched
  ASSERT_EQ(screen_open(320, 200, 4, 8, 0, 0), RESULT_OK);
  EXPECT_EQ(page(0)[63999], 0);
  EXPECT_EQ(screen_current()->page_memory.size(), 8 * 64000u);  // no more than the pages
  std::array<uint32_t, 256> palette{};  // the 16 default colours, then black
  std::copy(DEFAULT_PALETTE.begin(), DEFAULT_PALETTE.end(), palette.begin());
  EXPECT_EQ(screen_current()->palette, palette);
  EXPECT_EQ(screen_set_pages(1, 0), 0);
  EXPECT_EQ(screen_set_pages(9, 8), 1);  // pages that do not exist are ignored
  EXPECT_EQ(screen_set_pages(3, 2), 1);
  EXPECT_EQ(screen_set_pages(-1, -1), 2 * 256 + 3);
  EXPECT_EQ(screen_set_pages(-5, 7), 0);
  EXPECT_EQ(screen_set_pages(2, -1), 7 * 256);
  EXPECT_EQ(screen_set_pages(-1, 0), 7 * 256 + 2);  // one page given: the other stays
  screen_lock();  // a caller's hold (the game's, for a frame) outlasts what follows
  EXPECT_EQ(screen_set_pages(-1, 7), 2);
  draw_line(nullptr, 0, 0, 319, 199, 5, 2, 0, 0);
  EXPECT_EQ(screen_copy_page(8, 0) + screen_copy_page(0, 8), 2 * RESULT_ILLEGAL_CALL);
  EXPECT_EQ(screen_copy_page(-1, -1), RESULT_OK);  // work page onto the shown page
  pixel_set(nullptr, 1, 0, 6, 0, 0);
  EXPECT_EQ(pixel_get(nullptr, 1, 0) * 10 + screen_lock_count(), 61);
  screen_unlock();
  EXPECT_EQ(page(7)[12345], 5);
  EXPECT_EQ(screen_copy_page(0, 1), RESULT_OK);  // page 0 by number, not the work page
  EXPECT_EQ(page(1)[12345], 0);
  EXPECT_EQ(screen_copy_page(-1, 0), RESULT_OK);  // page 0 by number, not the shown page
  EXPECT_EQ(page(0)[12345], 5);
  EXPECT_EQ(screen_open(INT32_MAX, INT32_MAX, 32, INT32_MAX, 0, 0), RESULT_ILLEGAL_CALL);
  EXPECT_EQ(screen_current(), nullptr);
}

// Rows marked for the window count only inside the page, however far off
// either edge a span lies.
TEST(Pages, MarkedRowsStayInsideThePage) {
  headless_install();
  ASSERT_EQ(screen_open(320, 200, 4, 1, 0, 0), RESULT_OK);
  screen_lock();
  std::vector<uint8_t>& rows = screen_current()->dirty_rows;
  std::fill(rows.begin(), rows.end(), uint8_t{0});
  for (const auto& [first, last] : {std::pair{250, 300}, {-9, -5}, {7, 3}, {-9, 0}, {199, 400}}) {
    screen_mark_rows(first, last);
  }
  EXPECT_EQ(std::count(rows.begin(), rows.end(), 1) * 1000 + rows[0] + rows[199], 2002);
  // The window takes them once, as the band from the first to the last.
  std::vector<uint32_t> pixels(320 * 200);
  const std::vector<uint32_t> colours(256);
  const PresentedRows shown = present_dirty_rows(colours.data(), pixels.data(), 320);
  EXPECT_EQ(shown.first * 1000 + shown.last, 199);
  EXPECT_EQ(present_dirty_rows(colours.data(), pixels.data(), 320).first, -1);
  screen_unlock();
  screen_release();
}

// Random boxes on random pages, page roles and copies: after two ticks the
// window shows the shown page, colour for colour (16 and up show black).
TEST(Threads, TheWindowShowsTheShownPage) {
  headless_install();
  window_set_tick_observer(support::count_tick);
  std::mt19937 random(3);
  const auto pick = [&](uint32_t n) { return static_cast<int32_t>(random() % n); };
  for (int step = 0; step < 40; ++step) {
    if (step % 20 == 0) screen_open(320, 200, step ? 16 : 4, 8, 0, 0);
    if (step % 4 == 0) screen_set_pages(pick(3), pick(3));
    if (step % 4 == 1) screen_copy_page(pick(3), pick(3));
    draw_line(nullptr, static_cast<float>(pick(330)), static_cast<float>(pick(210)),
              static_cast<float>(pick(330)), static_cast<float>(pick(210)),
              static_cast<uint32_t>(pick(20)), 1 + pick(2), LINE_STYLE_SOLID, 0);
    support::wait_ticks(2);
    const int32_t bpp = screen_current()->bytes_per_pixel;  // wider pixels show their low byte
    std::vector<int32_t> want;
    for (int32_t i = 0; i < 64000; ++i)
      want.push_back(page(screen_current()->visible_page)[i * bpp]);
    for (int32_t& v : want) v = v < 16 ? v : 0;
    ASSERT_EQ(headless_shown_indices(), want) << "step " << step;
  }
  screen_set_pages(0, 0);
  draw_line(nullptr, 0, 0, 319, 199, 0, 2, 0, 0);
  screen_lock();
  window_set_palette(0, 1, 2, 3);  // a colour outside the default palette shows as no index
  screen_mark_all_rows();
  screen_unlock();
  support::wait_ticks(2);
  EXPECT_EQ(headless_shown_indices()[0], -1);
  screen_release();
}

// Every palette entry, 0 to 255, reaches the window in its own colour, from
// one-byte pixels and from the low byte of wider ones.
TEST(Threads, EveryPaletteEntryShowsItsColour) {
  headless_install();
  window_set_tick_observer(support::count_tick);
  const auto rgb = [](uint32_t i) { return i << 16 | (255 - i) << 8 | (i * 7 & 255); };
  for (const int32_t depth : {8, 16}) {
    ASSERT_EQ(screen_open(320, 200, depth, 1, 0, 0), RESULT_OK);
    const int32_t bpp = screen_current()->bytes_per_pixel;
    screen_lock();
    window_set_palette(-1, 1, 2, 3);  // no such entries: ignored
    window_set_palette(256, 1, 2, 3);
    for (uint32_t i = 0; i < 256; ++i) {
      window_set_palette(static_cast<int32_t>(i), static_cast<uint8_t>(rgb(i) >> 16),
                         static_cast<uint8_t>(rgb(i) >> 8), static_cast<uint8_t>(rgb(i)));
    }
    for (int32_t i = 0; i < 64000 * bpp; ++i) page(0)[i] = static_cast<uint8_t>(i / bpp + i % bpp);
    screen_mark_all_rows();
    screen_unlock();
    support::wait_ticks(2);
    const std::vector<uint32_t> shown = headless_shown();
    int32_t wrong = 0;
    for (size_t i = 0; i < 64000; ++i)
      wrong += shown[i] != (0xFF000000u | rgb(page(0)[i * static_cast<size_t>(bpp)]));
    EXPECT_EQ(wrong, 0) << depth;
  }
  screen_release();
}

}  // namespace
