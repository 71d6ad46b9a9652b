// The paged screen on the headless back end: opening and its refusals, page
// roles, page copies, and what the window is shown.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstring>

#include "runtime/screen/draw_state.h"
#include "runtime/screen/paged_screen.h"
#include "runtime/screen/screen_lock.h"
#include "runtime/screen/screen_open.h"
#include "runtime/window/headless_back_end.h"
#include "runtime/window/window.h"

namespace runtime {
namespace {

class PagedScreenTest : public ::testing::Test {
 protected:
  void SetUp() override { headless_install(); }
  void TearDown() override {
    headless_on_present({});
    screen_release();
  }

  static void fill_page(int32_t page, uint8_t colour) {
    PagedScreen& screen = *screen_current();
    screen_lock();
    std::memset(screen_page(screen, page), colour, screen.page_stride);
    screen_unlock();
  }

  static std::vector<int32_t> uniform_picture(int32_t index) {
    return std::vector<int32_t>(320 * 200, index);
  }
};

struct DepthCase {
  int32_t depth;
  int32_t result;
  int32_t bytes_per_pixel;
};

class ScreenOpenDepth : public PagedScreenTest, public ::testing::WithParamInterface<DepthCase> {};

TEST_P(ScreenOpenDepth, AcceptsOnlyTheListedDepths) {
  const DepthCase c = GetParam();
  EXPECT_EQ(screen_open(320, 200, c.depth, 2, 0, 0), c.result);
  if (c.result == RESULT_OK) {
    ASSERT_NE(screen_current(), nullptr);
    EXPECT_EQ(screen_current()->bytes_per_pixel, c.bytes_per_pixel);
    EXPECT_EQ(screen_current()->pitch, 320 * c.bytes_per_pixel);
  } else {
    EXPECT_EQ(screen_current(), nullptr);
  }
}

INSTANTIATE_TEST_SUITE_P(Depths, ScreenOpenDepth,
                         ::testing::Values(DepthCase{1, 0, 1}, DepthCase{2, 0, 1},
                                           DepthCase{3, 1, 0}, DepthCase{4, 0, 1},
                                           DepthCase{8, 0, 1}, DepthCase{0, 1, 0},
                                           DepthCase{15, 0, 2}, DepthCase{16, 0, 2},
                                           DepthCase{24, 0, 4}, DepthCase{32, 0, 4},
                                           DepthCase{33, 1, 0}, DepthCase{-4, 1, 0}));

TEST_F(PagedScreenTest, RefusedOpenLeavesTheOpenScreenAlone) {
  ASSERT_EQ(screen_open(320, 200, 4, 8, 0, 0), RESULT_OK);
  const int32_t id = screen_current()->id;
  fill_page(3, 9);
  for (auto [w, h, d] : {std::tuple{0, 200, 4}, {320, 0, 4}, {-1, 200, 4}, {320, 200, 3}}) {
    EXPECT_EQ(screen_open(w, h, d, 8, 0, 0), RESULT_ILLEGAL_CALL);
  }
  ASSERT_NE(screen_current(), nullptr);
  EXPECT_EQ(screen_current()->id, id);
  EXPECT_EQ(screen_page(*screen_current(), 3)[100], 9);
}

TEST_F(PagedScreenTest, OpenFillsPagesWithZeroAndLoadsTheDefaultPalette) {
  ASSERT_EQ(screen_open(320, 200, 4, 8, 0, 0), RESULT_OK);
  const PagedScreen& screen = *screen_current();
  EXPECT_EQ(screen.page_count, 8);
  EXPECT_EQ(screen.colour_mask, 15u);
  EXPECT_EQ(screen.text_columns, 40);
  EXPECT_EQ(screen.text_rows, 25);
  EXPECT_EQ(screen.page_stride % 16, 0u);
  EXPECT_TRUE(std::all_of(screen.page_memory.begin(), screen.page_memory.end(),
                          [](uint8_t b) { return b == 0; }));
  EXPECT_EQ(screen.palette[14], 0x55FFFFu);  // (255, 255, 85)
  EXPECT_EQ(screen.palette[6], 0x0055AAu);   // (170, 85, 0), not (170, 170, 0)
  EXPECT_EQ(screen.palette[16], 0u);
  EXPECT_EQ(reinterpret_cast<uintptr_t>(screen.page_memory.data()) % 16, 0u);
  headless_wait_ticks(2);
  EXPECT_EQ(headless_shown_indices(), uniform_picture(0));
  EXPECT_EQ(window_state().title, window_title_from_path(program_invocation_name));
}

TEST_F(PagedScreenTest, APageCountBelowOneOpensOnePage) {
  ASSERT_EQ(screen_open(320, 200, 4, 0, 0, 0), RESULT_OK);
  EXPECT_EQ(screen_current()->page_count, 1);
  EXPECT_EQ(screen_copy_page(0, 1), RESULT_ILLEGAL_CALL);
}

TEST_F(PagedScreenTest, SizesThatOverflowAreRefusedAndLeaveNoScreen) {
  ASSERT_EQ(screen_open(320, 200, 4, 8, 0, 0), RESULT_OK);
  EXPECT_EQ(screen_open(INT32_MAX, INT32_MAX, 32, INT32_MAX, 0, 0), RESULT_ILLEGAL_CALL);
  EXPECT_EQ(screen_current(), nullptr);
  EXPECT_EQ(screen_open(1 << 30, 4, 32, 1, 0, 0), RESULT_ILLEGAL_CALL);
  EXPECT_EQ(screen_current(), nullptr);
}

TEST_F(PagedScreenTest, ReopeningGivesANewBlackScreen) {
  ASSERT_EQ(screen_open(320, 200, 4, 8, 0, 0), RESULT_OK);
  const int32_t id = screen_current()->id;
  fill_page(0, 4);
  ASSERT_EQ(screen_open(320, 200, 4, 8, 0, 0), RESULT_OK);
  EXPECT_GT(screen_current()->id, id);
  EXPECT_EQ(screen_page(*screen_current(), 0)[0], 0);
  EXPECT_EQ(draw_state().screen_id, screen_current()->id);
}

TEST_F(PagedScreenTest, SetPagesReturnsThePreviousRolesAndIgnoresBadPages) {
  EXPECT_EQ(screen_set_pages(1, 0), -1);  // no screen
  ASSERT_EQ(screen_open(320, 200, 4, 8, 0, 0), RESULT_OK);
  EXPECT_EQ(screen_set_pages(1, 0), 0);
  EXPECT_EQ(screen_set_pages(1, 0), 1);
  EXPECT_EQ(screen_set_pages(9, 9), 1);
  EXPECT_EQ(screen_set_pages(8, -3), 1);
  EXPECT_EQ(screen_set_pages(3, 2), 1);
  EXPECT_EQ(screen_set_pages(-1, -1), 2 * 256 + 3);
  EXPECT_EQ(screen_set_pages(-1, -1), 0);
  EXPECT_EQ(draw_state().work_page, 0);
  EXPECT_EQ(screen_current()->visible_page, 0);
  EXPECT_EQ(screen_set_pages(-5, 7), 0);
  EXPECT_EQ(screen_set_pages(2, -1), 7 * 256);
}

TEST_F(PagedScreenTest, CopyRefusalsCopyNothing) {
  EXPECT_EQ(screen_copy_page(1, 0), RESULT_ILLEGAL_CALL);  // no screen
  ASSERT_EQ(screen_open(320, 200, 4, 8, 0, 0), RESULT_OK);
  fill_page(0, 1);
  fill_page(7, 7);
  EXPECT_EQ(screen_copy_page(8, 0), RESULT_ILLEGAL_CALL);
  EXPECT_EQ(screen_copy_page(0, 8), RESULT_ILLEGAL_CALL);
  EXPECT_EQ(screen_copy_page(9, 9), RESULT_ILLEGAL_CALL);
  EXPECT_EQ(screen_page(*screen_current(), 0)[0], 1);
  EXPECT_EQ(screen_page(*screen_current(), 7)[0], 7);
  EXPECT_EQ(screen_copy_page(1, 1), RESULT_OK);
  EXPECT_EQ(screen_copy_page(7, 3), RESULT_OK);
  EXPECT_EQ(screen_page(*screen_current(), 3)[63999], 7);
}

TEST_F(PagedScreenTest, NegativeCopyArgumentsMeanTheWorkAndVisiblePages) {
  ASSERT_EQ(screen_open(320, 200, 4, 8, 0, 0), RESULT_OK);
  screen_set_pages(1, 0);
  fill_page(1, 5);
  EXPECT_EQ(screen_copy_page(-1, -1), RESULT_OK);
  EXPECT_EQ(screen_page(*screen_current(), 0)[12345], 5);
}

TEST_F(PagedScreenTest, OnlyCopiesOntoTheVisiblePageMarkRows) {
  ASSERT_EQ(screen_open(320, 200, 4, 8, 0, 0), RESULT_OK);
  screen_set_pages(1, 0);
  headless_wait_ticks(2);
  PagedScreen& screen = *screen_current();
  screen_lock();  // hold off the tick while the flags are inspected
  screen_copy_page(2, 1);
  const bool any_after_hidden_copy =
      std::any_of(screen.dirty_rows.begin(), screen.dirty_rows.end(), [](uint8_t f) { return f; });
  screen_copy_page(1, 0);
  const bool all_after_visible_copy =
      std::all_of(screen.dirty_rows.begin(), screen.dirty_rows.end(), [](uint8_t f) { return f; });
  screen_unlock();
  EXPECT_FALSE(any_after_hidden_copy);
  EXPECT_TRUE(all_after_visible_copy);
}

TEST_F(PagedScreenTest, RowsAreMarkedOnlyWhenTheWorkPageIsVisible) {
  ASSERT_EQ(screen_open(320, 200, 4, 8, 0, 0), RESULT_OK);
  PagedScreen& screen = *screen_current();
  screen_set_pages(1, 0);
  screen_lock();
  std::fill(screen.dirty_rows.begin(), screen.dirty_rows.end(), uint8_t{0});
  screen_mark_rows(10, 20);
  const bool marked_while_hidden = screen.dirty_rows[15] != 0;
  screen_set_pages(0, -1);
  std::fill(screen.dirty_rows.begin(), screen.dirty_rows.end(), uint8_t{0});
  screen_mark_rows(-5, 3);
  screen_mark_rows(198, 400);
  std::vector<uint8_t> flags = screen.dirty_rows;
  screen_unlock();
  EXPECT_FALSE(marked_while_hidden);
  std::vector<uint8_t> expected(200, 0);
  std::fill(expected.begin(), expected.begin() + 4, uint8_t{1});
  expected[198] = expected[199] = 1;
  EXPECT_EQ(flags, expected);
}

TEST_F(PagedScreenTest, DrawingOnTheWorkPageNeverReachesTheWindowUntilCopied) {
  ASSERT_EQ(screen_open(320, 200, 4, 8, 0, 0), RESULT_OK);
  screen_set_pages(1, 0);
  fill_page(1, 12);
  headless_wait_ticks(3);
  EXPECT_EQ(headless_shown_indices(), uniform_picture(0));
  screen_copy_page(1, 0);
  headless_wait_ticks(2);
  EXPECT_EQ(headless_shown_indices(), uniform_picture(12));
}

TEST_F(PagedScreenTest, SwitchingTheVisiblePageShowsItWhole) {
  ASSERT_EQ(screen_open(320, 200, 4, 8, 0, 0), RESULT_OK);
  fill_page(5, 3);
  headless_wait_ticks(2);
  screen_set_pages(-1, 5);
  headless_wait_ticks(2);
  EXPECT_EQ(headless_shown_indices(), uniform_picture(3));
}

// Every presentation shows one whole frame: frames are single-colour pages
// copied as fast as the loop can go, and no shown picture mixes two colours.
TEST_F(PagedScreenTest, EveryPresentedPictureIsOneWholeFrame) {
  ASSERT_EQ(screen_open(320, 200, 4, 8, 0, 0), RESULT_OK);
  screen_set_pages(1, 0);
  std::atomic<int64_t> mixed{0};
  std::atomic<int64_t> seen{0};
  headless_on_present([&](const std::vector<uint32_t>& shown) {
    ++seen;
    if (std::any_of(shown.begin(), shown.end(), [&](uint32_t p) { return p != shown[0]; })) {
      ++mixed;
    }
  });
  const int64_t start = headless_presentation_count();
  for (uint32_t frame = 0; headless_presentation_count() - start < 30; ++frame) {
    fill_page(1, static_cast<uint8_t>(frame % 15 + 1));
    screen_copy_page(1, 0);
  }
  headless_on_present({});
  EXPECT_GE(seen.load(), 30);
  EXPECT_EQ(mixed.load(), 0);
}

TEST_F(PagedScreenTest, PresentationConvertsOnlyTheDirtyBand) {
  ASSERT_EQ(screen_open(320, 200, 4, 8, 0, 0), RESULT_OK);
  PagedScreen& screen = *screen_current();
  std::array<uint32_t, 256> colours{};
  for (uint32_t i = 0; i < 256; ++i) colours[i] = 1000 + i;
  std::vector<uint32_t> pixels(320 * 200, 7);
  screen_lock();
  std::fill(screen.dirty_rows.begin(), screen.dirty_rows.end(), uint8_t{0});
  screen_page(screen, 0)[50 * 320 + 4] = 9;
  screen.dirty_rows[50] = 1;
  screen.dirty_rows[60] = 1;
  const PresentedRows rows = present_dirty_rows(colours.data(), pixels.data(), 320);
  const PresentedRows again = present_dirty_rows(colours.data(), pixels.data(), 320);
  screen_unlock();
  EXPECT_EQ(rows.first, 50);
  EXPECT_EQ(rows.last, 60);
  EXPECT_EQ(again.first, -1);
  EXPECT_EQ(pixels[50 * 320 + 4], 1009u);
  EXPECT_EQ(pixels[55 * 320], 1000u);
  EXPECT_EQ(pixels[49 * 320], 7u);
  EXPECT_EQ(pixels[61 * 320], 7u);
}

}  // namespace
}  // namespace runtime
