// Text on the graphics screen: writes from a table of cases, checked as the
// characters each cell holds and as pixels (every cell must look like its
// glyph in its colours), the readout's glyphs as a golden frame, and the
// viewport, cursor, colour and clear operations.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>

#include "runtime/screen/boxes.h"
#include "runtime/screen/draw_state.h"
#include "runtime/screen/screen_lock.h"
#include "runtime/text/console.h"
#include "runtime/text/font_table.h"
#include "runtime/text/screen_clear.h"
#include "runtime/text/text_output.h"
#include "tests/support/golden_frame.h"
#include "tests/support/screen_fixture.h"

namespace {

using namespace runtime;
using support::page;

class Text : public support::ScreenTest {
 protected:
  void SetUp() override {
    ScreenTest::SetUp();
    ASSERT_EQ(text_view(1, 25), 25 * 65536 + 1);
    text_colour(15, 0, 0);
  }
  static int32_t cursor() {
    const TextState& t = screen_current()->text;
    return (t.cursor_row + 1) * 256 + t.cursor_column + 1;
  }
  // The characters of text row `row` (1-based) of the work page, trailing blanks cut.
  static std::string row_text(int32_t row) {
    const TextCell* cells = screen_current()->cells.data() + (25 + row - 1) * 40;
    std::string text;
    for (int32_t c = 0; c < 40; ++c) text += static_cast<char>(cells[c].character);
    return text.substr(0, text.find_last_not_of(' ') + 1);
  }
  // Every cell of the work page drawn as its glyph in its colours.
  static ::testing::AssertionResult cells_drawn() {
    const PagedScreen& screen = *screen_current();
    for (int32_t i = 0; i < 25 * 40; ++i) {
      const TextCell& cell = screen.cells[static_cast<size_t>(25 * 40 + i)];
      for (int32_t y = 0; y < 8; ++y) {
        for (int32_t x = 0; x < 8; ++x) {
          const bool lit = (FONT_GLYPHS[cell.character][static_cast<size_t>(y)] >> x) & 1;
          const uint8_t pixel = page(1)[(i / 40 * 8 + y) * 320 + i % 40 * 8 + x];
          if (pixel != (lit ? cell.foreground : cell.background)) {
            return ::testing::AssertionFailure() << "cell " << i % 40 + 1 << "," << i / 40 + 1;
          }
        }
      }
    }
    return ::testing::AssertionSuccess();
  }
};

struct Write {
  int32_t first, last, row, column;     // viewport, then where the write starts
  std::string bytes;                    // '|' separates two writes
  int32_t cursor;                       // row x 256 + column afterwards
  bool pending;                         // the last cell was filled: the scroll waits
  std::map<int32_t, std::string> rows;  // rows that no longer hold their eight letters
};

TEST_F(Text, WritesWrapAndScrollInsideTheViewport) {
  const std::string line = "0123456789012345678901234567890123456789", bytes("\0\xff", 2);
  const Write writes[] = {
      {23, 25, 25, 1, line, 25 * 256 + 40, true, {{25, line}}},
      {23, 25, 25, 1, line + "|X", 25 * 256 + 2, false, {{23, "XXXXXXXX"}, {24, line}, {25, "X"}}},
      {23, 25, 25, 9, "\n", 25 * 256 + 1, false, {{23, "XXXXXXXX"}, {24, "YYYYYYYY"}, {25, ""}}},
      {3, 5, 5, 1, "12345678\n", 5 * 256 + 1, false, {{3, "DDDDDDDD"}, {4, "12345678"}, {5, ""}}},
      {23, 25, 25, 1, "A\nB", 25 * 256 + 2, false, {{23, "XXXXXXXX"}, {24, "AYYYYYYY"}, {25, "B"}}},
      {2, 3, 3, 1, std::string(1000, '\n'), 3 * 256 + 1, false, {{2, ""}, {3, ""}}},
      {1, 25, 2, 1, "ab\t", 2 * 256 + 9, false, {{2, "ab"}}},
      {1, 25, 2, 1, "abcdefgh\t", 2 * 256 + 17, false, {{2, "abcdefgh"}}},
      {1, 25, 2, 40, "\t", 3 * 256 + 1, false, {}},
      {1, 25, 2, 1, "abc\b\bX", 2 * 256 + 3, false, {{2, "aXcBBBBB"}}},
      {1, 25, 2, 1, "\bX", 2 * 256 + 2, false, {{2, "XBBBBBBB"}}},
      {1, 25, 2, 1, "abc\rX\a", 2 * 256 + 2, false, {{2, "XbcBBBBB"}}},
      {1, 25, 2, 1, bytes, 2 * 256 + 3, false, {{2, bytes + "BBBBBB"}}},
  };
  for (const Write& w : writes) {
    SCOPED_TRACE(w.bytes.substr(0, 50));
    text_view(1, 25);
    screen_clear(ARG_OMITTED);
    for (int32_t row = 1; row <= 25; ++row) {
      text_locate(row, 1, -1, 0, 0);
      print_text(0, std::string(8, static_cast<char>('A' + row - 1)), 0);
    }
    text_view(w.first, w.last);
    text_locate(w.row, w.column, -1, 0, 0);
    for (size_t from = 0, bar; from <= w.bytes.size(); from = bar + 1) {
      bar = std::min(w.bytes.find('|', from), w.bytes.size());
      text_write(std::string_view(w.bytes).substr(from, bar - from));
    }
    EXPECT_EQ(cursor(), w.cursor);
    EXPECT_EQ(screen_current()->text.pending_wrap, w.pending);
    for (int32_t row = 1; row <= 25; ++row) {
      const auto changed = w.rows.find(row);
      EXPECT_EQ(row_text(row), changed != w.rows.end()
                                   ? changed->second
                                   : std::string(8, static_cast<char>('A' + row - 1)))
          << "row " << row;
    }
    EXPECT_TRUE(cells_drawn());
  }
}

TEST_F(Text, ReadoutGlyphs) {
  EXPECT_EQ(text_locate(20, 1, -1, 0, 0), 20 * 256 + 1);
  print_int(0, 12, 0);
  print_text(0, ",", 0);
  print_int(0, 34, 0);
  EXPECT_EQ(cursor(), 20 * 256 + 8);
  EXPECT_TRUE(
      golden::matches("tests/text/golden/readout.frame", golden::capture(1, 0, 152, 56, 8, true)));
}

TEST_F(Text, ViewportCursorAndColours) {
  ASSERT_EQ(text_view(4, 20), 20 * 65536 + 4);
  struct View {
    int32_t first, last, result;
  };
  const View VIEWS[] = {{5, 3, 0},
                        {1, 26, 0},
                        {26, 26, 0},
                        {21, -1, 0},
                        {-1, -1, 20 * 65536 + 4},
                        {-1, 22, 22 * 65536 + 4},
                        {2, -1, 22 * 65536 + 2},
                        {0, 0, 25 * 65536 + 1},
                        {7, 7, 7 * 65536 + 7},  // one row
                        {0, 0, 25 * 65536 + 1}};
  for (const View v : VIEWS) {
    text_locate(10, 7, -1, 0, 0);
    EXPECT_EQ(text_view(v.first, v.last), v.result) << v.first << " " << v.last;
    const bool moved = v.result != 0 && (v.first >= 0 || v.last >= 0);
    EXPECT_EQ(cursor(), moved ? (v.result & 0xFFFF) * 256 + 1 : 10 * 256 + 7);
  }
  struct Move {
    int32_t row, column, result;
  };
  const Move MOVES[] = {{26, 1, 10 * 256 + 7}, {20, 41, 10 * 256 + 7}, {-1, 1, 10 * 256 + 7},
                        {1, -5, 10 * 256 + 7}, {0, 40, 10 * 256 + 40}, {25, 0, 25 * 256 + 7}};
  for (const Move m : MOVES) {
    text_locate(10, 7, -1, 0, 0);
    EXPECT_EQ(text_locate(m.row, m.column, 1, 3, 4), m.result) << m.row << " " << m.column;
  }
  EXPECT_EQ(text_colour(4, 2, 0), 15);
  EXPECT_EQ(text_colour(300, 7, 0), 2 * 65536 + 4);
  EXPECT_EQ(text_colour(9, 9, 1), 7 * 65536 + 44);  // keeps the foreground
  EXPECT_EQ(text_colour(3, 3, 2), 9 * 65536 + 44);  // keeps the background
  text_locate(1, 1, -1, 0, 0);
  print_int(0, 5, 2);  // " 5", then on to the next 14-column zone
  EXPECT_EQ(cursor(), 1 * 256 + 15);
  print_text(0, "", 1);
  EXPECT_EQ(cursor(), 2 * 256 + 1);
  std::string console;  // the bell goes to the console, also while a screen is open
  console_capture(&console);
  print_text(0, "\a", 0);
  console_capture(nullptr);
  EXPECT_EQ(console, "\a");
  // It rings at once, not when the console's output is next flushed.
  std::fflush(stdout);
  const int bell_end = posix_openpt(O_RDWR | O_NOCTTY);
  ASSERT_TRUE(bell_end >= 0 && grantpt(bell_end) == 0 && unlockpt(bell_end) == 0);
  const int terminal = open(ptsname(bell_end), O_RDWR | O_NOCTTY);
  const int saved = dup(1);
  dup2(terminal, 1);
  print_text(0, "\a", 0);
  dup2(saved, 1);
  pollfd rung{bell_end, POLLIN, 0};
  char bell = 0;
  EXPECT_EQ(poll(&rung, 1, 10000) == 1 && read(bell_end, &bell, 1) == 1 ? bell : 0, '\a');
  for (const int fd : {saved, terminal, bell_end}) close(fd);
}

TEST_F(Text, ClearTakesThePageOrTheViewportRowsAndHomesTheCursor) {
  draw_line(nullptr, 0, 0, 319, 199, 9, 2, 0, 0);
  print_text(0, "xyz", 0);
  text_colour(15, 3, 0);
  text_view(3, 25);
  text_locate(4, 10, -1, 0, 0);
  screen_clear(ARG_OMITTED);
  EXPECT_EQ(cursor(), 3 * 256 + 1);
  for (int32_t y = 0; y < 200; ++y) ASSERT_EQ(page(1)[y * 320 + 319], y >= 16 ? 3 : 9) << y;
  text_view(1, 25);
  text_locate(10, 10, -1, 0, 0);
  screen_clear(1);  // the clip rectangle (here the page) only: cursor and text stay
  EXPECT_EQ(std::count(page(1), page(1) + 64000, 3), 64000);
  EXPECT_EQ(cursor() * 10 + (row_text(1) == "xyz"), (10 * 256 + 10) * 10 + 1);
  text_colour(15, 4, 0);
  text_locate(25, 40, -1, 0, 0);
  print_text(0, "Z", 0);  // the last cell: the scroll waits for more text
  screen_clear(ARG_OMITTED);
  EXPECT_EQ(cursor() * 10 + (row_text(1) == ""), (1 * 256 + 1) * 10 + 1);
  EXPECT_EQ(std::count(page(1), page(1) + 64000, 4), 64000);
  print_text(0, "Q", 0);  // the clear ended the wait
  EXPECT_EQ(cursor() * 10 + (row_text(1) == "Q"), (1 * 256 + 2) * 10 + 1);
  screen_clear(ARG_OMITTED);
  EXPECT_EQ(page(0)[0], 0);  // the work page only
  draw_line(nullptr, 0, 0, 319, 199, 9, 2, 0, 0);
  text_locate(22, 2, -1, 0, 0);
  print_text(0, "kept", 0);
  text_view(1, 20);
  screen_clear(2);  // from the page's top, but not to its bottom
  for (int32_t y = 0; y < 200; ++y) ASSERT_EQ(page(1)[y * 320], y < 160 ? 4 : 9) << y;
  EXPECT_EQ(row_text(22), " kept");
  text_view(1, 25);
  // On the shown page, text marks its rows for the window.
  screen_set_pages(0, 0);
  screen_lock();
  std::vector<uint8_t>& rows = screen_current()->dirty_rows;
  std::fill(rows.begin(), rows.end(), uint8_t{0});
  text_locate(25, 5, -1, 0, 0);  // the bottom row: nothing scrolls
  print_text(0, "abc", 0);
  EXPECT_EQ(std::count(rows.begin(), rows.end(), 1) * 1000 +
                (std::find(rows.begin(), rows.end(), 1) - rows.begin()),
            8192);
  std::fill(rows.begin(), rows.end(), uint8_t{0});
  print_text(0, "\n", 0);  // a scroll marks every row of the viewport, its last included
  EXPECT_EQ(std::count(rows.begin(), rows.end(), 1), 200);
  screen_unlock();
}

TEST(TextOddScreens, WidePixelsTakeTheWholeColourAndNoCellMeansNoText) {
  headless_install();
  for (const int32_t bpp : {2, 4}) {
    ASSERT_EQ(screen_open(320, 200, bpp * 8, 2, 0, 0), RESULT_OK);
    const uint32_t fg = bpp == 2 ? 0x1234 : 0x12345678;
    text_colour(static_cast<int32_t>(fg), 0x0567, 0);
    text_locate(1, 1, -1, 0, 0);
    print_text(0, "\xdb ", 0);      // a full block, then a blank cell
    uint32_t block = 0, blank = 0;  // the block's last pixel, the blank cell's first
    std::memcpy(&block, page(0) + 7 * 320 * bpp + 7 * bpp, static_cast<size_t>(bpp));
    std::memcpy(&blank, page(0) + 7 * 320 * bpp + 8 * bpp, static_cast<size_t>(bpp));
    EXPECT_EQ(block, fg);
    EXPECT_EQ(blank, 0x0567u);
    draw_line(nullptr, 0, 8, 0, 8, 0x0999, 2, 0, 0);  // a pixel below the row's last cell
    text_locate(1, 40, -1, 0, 0);
    print_text(0, "x", 0);
    std::memcpy(&blank, page(0) + 8 * 320 * bpp, static_cast<size_t>(bpp));
    EXPECT_EQ(blank, 0x0999u);
  }
  ASSERT_EQ(screen_open(6, 5, 4, 1, 0, 0), RESULT_OK);
  print_text(0, "hello\n\tworld", 0);
  screen_clear(ARG_OMITTED);
  EXPECT_EQ(std::count(page(0), page(0) + 30, 0), 30);
  // The pixel rows below the last whole text row are the page's too.
  ASSERT_EQ(screen_open(16, 12, 4, 1, 0, 0), RESULT_OK);
  page(0)[11 * 16] = 9;
  screen_clear(ARG_OMITTED);
  EXPECT_EQ(page(0)[11 * 16], 0);
  ASSERT_EQ(screen_open(8, 8, 4, 1, 0, 0), RESULT_OK);  // one cell
  print_text(0, "\xdb", 0);
  EXPECT_EQ(page(0)[63], 15);
  screen_release();
}

}  // namespace
