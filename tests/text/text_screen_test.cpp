// Text on the graphics screen, on the headless back end: what the readout,
// wrapping and scrolling leave on the work page (as golden frames), and the
// results and refusals of the viewport, cursor and colour operations.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "runtime/screen/paged_screen.h"
#include "runtime/screen/results.h"
#include "runtime/screen/screen_lock.h"
#include "runtime/screen/screen_open.h"
#include "runtime/text/console.h"
#include "runtime/text/program_end.h"
#include "runtime/text/screen_clear.h"
#include "runtime/text/text_output.h"
#include "runtime/window/headless_back_end.h"
#include "tests/support/golden_frame.h"

namespace runtime {
namespace {

constexpr int32_t W = 320;
constexpr int32_t H = 200;

class TextScreenTest : public ::testing::Test {
 protected:
  // As the game starts: page 1 composed, page 0 shown, white on black.
  void SetUp() override {
    headless_install();
    ASSERT_EQ(screen_open(W, H, 4, 8, 0, 0), RESULT_OK);
    ASSERT_EQ(screen_set_pages(1, 0), 0);
    ASSERT_EQ(text_view(1, 25), 1638401);
    ASSERT_EQ(text_colour(15, 0, 0), 15);
  }
  void TearDown() override { screen_release(); }

  static uint8_t* page(int32_t index) { return screen_page(*screen_current(), index); }

  static void fill_page(int32_t index, uint8_t colour) {
    screen_lock();
    std::memset(page(index), colour, static_cast<size_t>(W * H));
    screen_unlock();
  }

  // Text rows (1-based) each filled with a different letter, so a scroll
  // shows which row went where.
  static void letter_rows(int32_t first, int32_t last) {
    for (int32_t row = first; row <= last; ++row) {
      text_locate(row, 1, -1, 0, 0);
      print_text(0, std::string(static_cast<size_t>(8), static_cast<char>('A' + row - 1)), 0);
    }
  }

  // text_locate(0, 0, ...) reports the cursor but also cancels a pending wrap.
  static int32_t cursor() { return text_locate(0, 0, -1, 0, 0); }
  static int32_t position() {
    const TextState& text = screen_current()->text;
    return (text.cursor_row + 1) * 256 + text.cursor_column + 1;
  }

  static golden::Frame rows_of(int32_t page_index, int32_t first_px, int32_t count) {
    return golden::capture_page(page_index, 0, first_px, W, count);
  }

  static int64_t count_outside(int32_t page_index, int32_t first_px, int32_t last_px,
                               uint8_t colour) {
    const uint8_t* p = page(page_index);
    int64_t count = 0;
    for (int32_t y = 0; y < H; ++y) {
      if (y >= first_px && y <= last_px) continue;
      count += std::count_if(p + y * W, p + (y + 1) * W, [&](uint8_t v) { return v != colour; });
    }
    return count;
  }
};

TEST_F(TextScreenTest, ReadoutDrawsSevenCellsAtRowTwenty) {
  fill_page(1, 9);  // a picture under the readout must vanish under its cells
  EXPECT_EQ(text_locate(20, 1, -1, 0, 0), 20 * 256 + 1);
  print_int(0, 12, 0);
  print_text(0, ",", 0);
  print_int(0, 34, 0);
  EXPECT_EQ(cursor(), 20 * 256 + 8);
  EXPECT_TRUE(golden::matches_golden("tests/text/golden/readout_12_34.mem",
                                     golden::capture_page(1, 0, 152, 56, 8)));
  // Nothing else of the page changed, and the right end of row 20 still
  // holds the picture.
  EXPECT_EQ(count_outside(1, 152, 159, 9), 0);
  EXPECT_EQ(page(1)[155 * W + 56], 9);
  const TextCell* cells = screen_current()->cells.data() + (1 * 25 + 19) * 40;
  EXPECT_EQ(cells[1].character, '1');
  EXPECT_EQ(cells[3].character, ',');
  EXPECT_EQ(cells[6].character, '4');
}

TEST_F(TextScreenTest, TextOnTheWorkPageReachesTheWindowOnlyWithTheCopy) {
  std::fill(screen_current()->dirty_rows.begin(), screen_current()->dirty_rows.end(), 0);
  text_locate(20, 1, -1, 0, 0);
  print_int(0, 7, 0);
  EXPECT_EQ(std::count(screen_current()->dirty_rows.begin(), screen_current()->dirty_rows.end(), 1),
            0);
  headless_wait_ticks(2);
  std::vector<int32_t> shown = headless_shown_indices();
  EXPECT_EQ(std::count(shown.begin(), shown.end(), 15), 0);

  ASSERT_EQ(screen_copy_page(1, 0), RESULT_OK);
  headless_wait_ticks(2);
  shown = headless_shown_indices();
  // "7" has 14 glyph pixels (its rows: 3F 33 30 18 0C 0C 0C).
  EXPECT_EQ(std::count(shown.begin(), shown.end(), 15), 6 + 4 + 2 + 2 + 2 + 2 + 2);
}

TEST_F(TextScreenTest, TextOnTheVisiblePageMarksOnlyItsRows) {
  screen_set_pages(0, 0);
  std::fill(screen_current()->dirty_rows.begin(), screen_current()->dirty_rows.end(), 0);
  text_locate(3, 5, -1, 0, 0);
  print_text(0, "abc", 0);
  const auto& dirty = screen_current()->dirty_rows;
  for (int32_t y = 0; y < H; ++y) EXPECT_EQ(dirty[static_cast<size_t>(y)], y >= 16 && y < 24) << y;
}

TEST_F(TextScreenTest, FortyCharactersOnTheLastRowWaitToScroll) {
  letter_rows(24, 24);
  text_locate(25, 1, -1, 0, 0);
  const std::string line = "0123456789012345678901234567890123456789";
  print_text(0, line, 0);
  EXPECT_EQ(position(), 25 * 256 + 40);
  EXPECT_TRUE(screen_current()->text.pending_wrap);
  EXPECT_TRUE(golden::matches_golden("tests/text/golden/wrap_pending.mem", rows_of(1, 184, 16)));

  print_text(0, "X", 0);  // now the viewport moves up one row first
  EXPECT_EQ(position(), 25 * 256 + 2);
  EXPECT_FALSE(screen_current()->text.pending_wrap);
  EXPECT_TRUE(golden::matches_golden("tests/text/golden/wrap_scrolled.mem", rows_of(1, 176, 24)));
}

TEST_F(TextScreenTest, LocateCancelsAPendingWrap) {
  text_locate(25, 1, -1, 0, 0);
  print_text(0, std::string(40, '='), 0);
  ASSERT_TRUE(screen_current()->text.pending_wrap);
  EXPECT_EQ(text_locate(26, 1, -1, 0, 0), 25 * 256 + 40);  // refused, yet the wrap is gone
  print_text(0, "!", 0);
  EXPECT_EQ(cursor(), 25 * 256 + 40);  // drawn over the last cell: no scroll
  EXPECT_EQ(screen_current()->cells[(1 * 25 + 24) * 40 + 39].character, '!');
  EXPECT_EQ(screen_current()->cells[(1 * 25 + 24) * 40 + 38].character, '=');
}

TEST_F(TextScreenTest, LineFeedOnTheLastRowScrollsAtOnce) {
  letter_rows(23, 25);
  text_locate(25, 9, -1, 0, 0);
  print_text(0, "\n", 0);
  EXPECT_EQ(cursor(), 25 * 256 + 1);
  EXPECT_TRUE(
      golden::matches_golden("tests/text/golden/line_feed_last_row.mem", rows_of(1, 168, 32)));
}

TEST_F(TextScreenTest, ScrollStaysInsideTheViewport) {
  letter_rows(1, 7);
  ASSERT_EQ(text_view(3, 5), 5 * 65536 + 3);
  EXPECT_EQ(cursor(), 3 * 256 + 1);
  text_locate(5, 1, -1, 0, 0);
  print_text(0, "12345678\n", 0);  // overwrite row 5, then move everything up
  EXPECT_EQ(cursor(), 5 * 256 + 1);
  EXPECT_TRUE(golden::matches_golden("tests/text/golden/viewport_scroll.mem", rows_of(1, 0, 56)));
}

TEST_F(TextScreenTest, ScrollingByTheViewportHeightOrMoreClearsIt) {
  fill_page(1, 9);
  text_colour(15, 2, 0);
  ASSERT_NE(text_view(2, 3), 0);
  text_locate(3, 1, -1, 0, 0);
  print_text(0, std::string(1000, '\n'), 0);
  EXPECT_EQ(cursor(), 3 * 256 + 1);
  for (int32_t y = 8; y < 24; ++y) EXPECT_EQ(page(1)[y * W + 100], 2) << y;
  EXPECT_EQ(count_outside(1, 8, 23, 9), 0);
}

TEST_F(TextScreenTest, ControlBytesMoveTheCursorWithoutDrawing) {
  struct Case {
    const char* bytes;
    int32_t column;  // 1-based, after writing from column 1 of row 2
  };
  const Case cases[] = {
      {"\t", 9}, {"ab\t", 9},  {"abcdefgh\t", 17}, {"abc\b\b", 2},
      {"\b", 1}, {"abc\r", 1}, {"ab\a", 3},        {"abc\rX", 2},
  };
  for (const Case& c : cases) {
    text_locate(2, 1, -1, 0, 0);
    print_text(0, c.bytes, 0);
    EXPECT_EQ(cursor(), 2 * 256 + c.column) << "after \"" << c.bytes << "\"";
  }
  // A tab at column 40 wraps to the next row.
  text_locate(2, 40, -1, 0, 0);
  print_text(0, "\t", 0);
  EXPECT_EQ(cursor(), 3 * 256 + 1);
  // Backspace erases nothing; byte 0 and 255 are characters.
  text_locate(4, 1, -1, 0, 0);
  print_text(0, std::string("ab\b\b", 4) + std::string("\0\xff", 2), 0);
  const TextCell* row4 = screen_current()->cells.data() + (1 * 25 + 3) * 40;
  EXPECT_EQ(row4[0].character, 0);
  EXPECT_EQ(row4[1].character, 255);
  EXPECT_EQ(cursor(), 4 * 256 + 3);
}

struct ViewCase {
  int32_t first;
  int32_t last;
  int32_t result;
};

class TextViewCase : public TextScreenTest, public ::testing::WithParamInterface<ViewCase> {};

TEST_P(TextViewCase, ReturnsTheViewportOrRefusesWithoutChange) {
  ASSERT_EQ(text_view(4, 20), 20 * 65536 + 4);
  text_locate(10, 7, -1, 0, 0);
  const ViewCase c = GetParam();
  EXPECT_EQ(text_view(c.first, c.last), c.result);
  const TextViewport viewport = text_viewport();
  if (c.result == 0 || (c.first < 0 && c.last < 0)) {
    EXPECT_EQ(viewport.first, 4);
    EXPECT_EQ(viewport.last, 20);
    EXPECT_EQ(cursor(), 10 * 256 + 7);
  } else {
    EXPECT_EQ(viewport.last * 65536 + viewport.first, c.result);
    EXPECT_EQ(cursor(), viewport.first * 256 + 1);
  }
}

INSTANTIATE_TEST_SUITE_P(Viewports, TextViewCase,
                         ::testing::Values(ViewCase{5, 3, 0}, ViewCase{1, 26, 0},
                                           ViewCase{26, 26, 0}, ViewCase{1, 25, 25 * 65536 + 1},
                                           ViewCase{0, 0, 25 * 65536 + 1},
                                           ViewCase{-1, -1, 20 * 65536 + 4},
                                           ViewCase{-1, 22, 22 * 65536 + 4},
                                           ViewCase{2, -1, 20 * 65536 + 2}, ViewCase{21, -1, 0},
                                           ViewCase{7, 7, 7 * 65536 + 7}));

struct LocateCase {
  int32_t row;
  int32_t column;
  int32_t result;  // from row 10, column 7
};

class TextLocateCase : public TextScreenTest, public ::testing::WithParamInterface<LocateCase> {};

TEST_P(TextLocateCase, MovesInsideTheViewportAndGridOnly) {
  text_locate(10, 7, -1, 0, 0);
  EXPECT_EQ(text_locate(GetParam().row, GetParam().column, 1, 3, 4), GetParam().result);
}

INSTANTIATE_TEST_SUITE_P(
    Positions, TextLocateCase,
    ::testing::Values(LocateCase{26, 1, 10 * 256 + 7}, LocateCase{20, 41, 10 * 256 + 7},
                      LocateCase{-1, 1, 10 * 256 + 7}, LocateCase{1, -5, 10 * 256 + 7},
                      LocateCase{0, 0, 10 * 256 + 7}, LocateCase{0, 40, 10 * 256 + 40},
                      LocateCase{25, 0, 25 * 256 + 7}, LocateCase{1, 1, 1 * 256 + 1}));

TEST_F(TextScreenTest, LocateHonoursANarrowViewport) {
  text_view(5, 8);
  EXPECT_EQ(text_locate(4, 1, -1, 0, 0), 5 * 256 + 1);
  EXPECT_EQ(text_locate(9, 1, -1, 0, 0), 5 * 256 + 1);
  EXPECT_EQ(text_locate(8, 3, -1, 0, 0), 8 * 256 + 3);
}

TEST_F(TextScreenTest, ColourReturnsThePreviousPairAndHonoursItsFlags) {
  EXPECT_EQ(text_colour(4, 2, 0), 15);
  EXPECT_EQ(text_colour(300, 7, 0), 2 * 65536 + 4);
  EXPECT_EQ(text_colour(1, 1, 0), 7 * 65536 + 44);  // 300 AND 255
  EXPECT_EQ(text_colour(9, 9, 1), 1 * 65536 + 1);   // keeps the foreground
  EXPECT_EQ(text_colour(3, 3, 2), 9 * 65536 + 1);   // keeps the background
  EXPECT_EQ(text_colour(0, 0, 3), 9 * 65536 + 3);   // keeps both
  EXPECT_EQ(text_colour(0, 0, 0), 9 * 65536 + 3);
  // Colours above 15 are stored as given and drawn as bytes.
  text_colour(200, 17, 0);
  text_locate(1, 1, -1, 0, 0);
  print_text(0, "\xdb ", 0);
  EXPECT_EQ(page(1)[0], 200);
  EXPECT_EQ(page(1)[8], 17);
}

TEST_F(TextScreenTest, ClearFillsThePageOrTheViewportRows) {
  fill_page(1, 9);
  text_colour(15, 3, 0);
  text_locate(10, 10, -1, 0, 0);
  screen_clear(ARG_OMITTED);
  EXPECT_EQ(std::count(page(1), page(1) + W * H, 3), W * H);
  EXPECT_EQ(cursor(), 1 * 256 + 1);

  fill_page(1, 9);
  text_view(3, 5);
  text_locate(4, 10, -1, 0, 0);
  screen_clear(ARG_OMITTED);
  EXPECT_EQ(count_outside(1, 16, 39, 9), 0);
  for (int32_t y = 16; y < 40; ++y) EXPECT_EQ(page(1)[y * W + 319], 3) << y;
  EXPECT_EQ(cursor(), 3 * 256 + 1);
  EXPECT_EQ(page(0)[0], 0);  // only the work page
}

TEST_F(TextScreenTest, CloseReleasesTheScreenAndTheWindow) {
  std::string console;
  console_capture(&console);
  EXPECT_TRUE(headless_window_open());
  EXPECT_EQ(screen_close(0, 0, 0, 0, 0), RESULT_OK);
  EXPECT_FALSE(headless_window_open());
  EXPECT_EQ(screen_current(), nullptr);
  // Text now goes to the console, and nothing touches freed pages.
  EXPECT_EQ(text_locate(0, 0, -1, 0, 0) & 0xFFFF, 1 * 256 + 1);
  EXPECT_NE(console.find("\x1b[8;25;80t"), std::string::npos);
  console_capture(nullptr);
}

}  // namespace
}  // namespace runtime

namespace runtime {
namespace {

class OddScreenTest : public ::testing::Test {
 protected:
  void SetUp() override { headless_install(); }
  void TearDown() override { screen_release(); }
};

// A screen smaller than one cell has no text grid: writes, clears and moves
// must neither draw nor reach past the page.
TEST_F(OddScreenTest, AScreenWithoutCellsTakesTextWithoutDrawing) {
  ASSERT_EQ(screen_open(6, 5, 4, 1, 0, 0), RESULT_OK);
  print_text(0, "hello\n\tworld", 0);
  print_int(0, -7, 0);
  EXPECT_EQ(text_locate(1, 1, -1, 0, 0), 1 * 256 + 1);  // the cursor stays at the origin
  screen_clear(ARG_OMITTED);
  const uint8_t* p = screen_page(*screen_current(), 0);
  EXPECT_EQ(std::count(p, p + 30, 0), 30);
}

TEST_F(OddScreenTest, WidePixelsTakeTheWholeColour) {
  ASSERT_EQ(screen_open(320, 200, 16, 2, 0, 0), RESULT_OK);
  text_colour(0x1234, 0x0567, 0);
  text_locate(1, 1, -1, 0, 0);
  print_text(0, "\xdb ", 0);  // a full block, then a blank cell
  const uint8_t* p = screen_page(*screen_current(), 0);
  EXPECT_EQ(p[0], 0x34);
  EXPECT_EQ(p[1], 0x12);
  EXPECT_EQ(p[7 * 640 + 14], 0x34);  // last pixel of the block's last row
  EXPECT_EQ(p[16], 0x67);            // first pixel of the blank cell
  EXPECT_EQ(p[17], 0x05);
  EXPECT_EQ(p[32], 0);  // the third cell is untouched
}

}  // namespace
}  // namespace runtime
