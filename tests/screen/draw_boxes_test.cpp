// Box outlines and filled boxes: one table of corners covering each edge and
// corner of the page, rounding and unconvertible coordinates, checked against
// a per-pixel model of the box over the whole page.
#include <limits>
#include <string>

#include "runtime/screen/boxes.h"
#include "runtime/screen/pixels.h"
#include "tests/screen/draw_fixture.h"

namespace runtime::draw_test {
namespace {

constexpr float NaN = std::numeric_limits<float>::quiet_NaN();
constexpr float INF = std::numeric_limits<float>::infinity();
constexpr int64_t FAR_LOW = -(int64_t{1} << 40);
constexpr int64_t FAR_HIGH = int64_t{1} << 40;

// Corners as passed, and the ordered pixel corners they stand for (FAR_* for
// a corner with no pixel position, which lies off the page on that side).
struct BoxCase {
  std::string name;
  float x1, y1, x2, y2;
  int64_t left, top, right, bottom;
  int32_t outline_pixels;  // -1: not counted
};

bool in_outline(const BoxCase& c, int64_t x, int64_t y) {
  const bool on_column = (x == c.left || x == c.right) && y >= c.top && y <= c.bottom;
  const bool on_row = (y == c.top || y == c.bottom) && x >= c.left && x <= c.right;
  return on_column || on_row;
}

bool in_box(const BoxCase& c, int64_t x, int64_t y) {
  return x >= c.left && x <= c.right && y >= c.top && y <= c.bottom;
}

std::vector<BoxCase> box_cases() {
  return {
      {"Inside", 10, 10, 20, 15, 10, 10, 20, 15, 2 * 11 + 2 * 4},
      {"CornersSwapped", 20, 15, 10, 10, 10, 10, 20, 15, 30},
      {"XSwappedOnly", 20, 10, 10, 15, 10, 10, 20, 15, 30},
      {"ViewFrame", 0, 0, 240, 112, 0, 0, 240, 112, 704},
      {"WholePage", 0, 0, 319, 199, 0, 0, 319, 199, 2 * 320 + 2 * 198},
      {"SinglePixel", 5, 5, 5, 5, 5, 5, 5, 5, 1},
      {"FlatRow", 5, 7, 12, 7, 5, 7, 12, 7, 8},
      {"FlatColumn", 7, 5, 7, 12, 7, 5, 7, 12, 8},
      {"AcrossLeftEdge", -5, 10, 5, 20, -5, 10, 5, 20, 6 + 6 + 11 - 2},
      {"AcrossRightEdge", 315, 10, 325, 20, 315, 10, 325, 20, 5 + 5 + 11 - 2},
      {"AcrossTopEdge", 10, -5, 20, 5, 10, -5, 20, 5, 11 + 6 + 6 - 2},
      {"AcrossBottomEdge", 10, 195, 20, 205, 10, 195, 20, 205, 11 + 5 + 5 - 2},
      {"TopLeftCorner", -5, -5, 5, 5, -5, -5, 5, 5, 6 + 6 - 1},
      {"TopRightCorner", 315, -5, 325, 5, 315, -5, 325, 5, 5 + 6 - 1},
      {"BottomLeftCorner", -5, 195, 5, 205, -5, 195, 5, 205, 6 + 5 - 1},
      // Only its top row (columns 300-319) and left column (rows 190-199).
      {"BottomRightCorner", 300, 190, 340, 210, 300, 190, 340, 210, 20 + 10 - 1},
      {"LargerThanPage", -1, -1, 320, 200, -1, -1, 320, 200, 0},
      {"LeftOfPage", -10, 0, -1, 50, -10, 0, -1, 50, 0},
      {"RightOfPage", 320, 0, 330, 50, 320, 0, 330, 50, 0},
      {"AbovePage", 0, -10, 50, -1, 0, -10, 50, -1, 0},
      {"BelowPage", 0, 200, 50, 210, 0, 200, 50, 210, 0},
      {"RoundsHalvesAway", 0.5f, -0.5f, 2.5f, 2.49f, 1, -1, 3, 2, 3 + 2 * 2},
      {"RoundsNegativeHalf", -0.5f, 0.4f, 318.5f, 199.5f, -1, 0, 319, 200, 320 + 200 - 1},
      {"NaNCornerLiesLeft", NaN, 10, 20, 20, FAR_LOW, 10, 20, 20, 2 * 21 + 9},
      {"InfiniteCornerLiesRight", 10, 10, INF, 20, 10, 10, FAR_HIGH, 20, 2 * 310 + 9},
      {"HugeCornersAllRound", -1e20f, -1e20f, 1e20f, 1e20f, FAR_LOW, FAR_LOW, FAR_HIGH, FAR_HIGH,
       0},
      {"NegativeInfinityAbove", 5, -INF, 9, 3, 5, FAR_LOW, 9, 3, 5 + 2 * 3},
  };
}

class Boxes : public DrawTest, public ::testing::WithParamInterface<BoxCase> {};

TEST_P(Boxes, OutlineDrawsTheVisiblePartOfEachEdge) {
  const BoxCase& c = GetParam();
  draw_line(nullptr, c.x1, c.y1, c.x2, c.y2, 0x10F, 1, 0xFFFF, 0);
  int32_t count = 0;
  const auto want = expected_page([&](int32_t x, int32_t y, uint8_t old) {
    if (!in_outline(c, x, y)) return old;
    ++count;
    return uint8_t{0x0F};
  });
  EXPECT_TRUE(same_page(want, snapshot(1)));
  if (c.outline_pixels >= 0) {
    EXPECT_EQ(count, c.outline_pixels);
  }
}

TEST_P(Boxes, FilledBoxCoversItsClippedArea) {
  const BoxCase& c = GetParam();
  draw_line(nullptr, c.x1, c.y1, c.x2, c.y2, 3, 2, 0, 0);
  const auto want = expected_page(
      [&](int32_t x, int32_t y, uint8_t old) { return in_box(c, x, y) ? uint8_t{3} : old; });
  EXPECT_TRUE(same_page(want, snapshot(1)));
}

INSTANTIATE_TEST_SUITE_P(EdgesCornersAndRounding, Boxes, ::testing::ValuesIn(box_cases()),
                         [](const auto& info) { return info.param.name; });

TEST_F(DrawTest, FullPageFillSetsEveryByteEitherWayRound) {
  draw_line(nullptr, 0, 0, 319, 199, 0, 2, 0xFFFF, 0);
  EXPECT_EQ(std::count(page(1), page(1) + W * H, 0), W * H);
  fill_pattern(1);
  draw_line(nullptr, 319, 199, 0, 0, 0, 2, 0xFFFF, 0);
  EXPECT_EQ(std::count(page(1), page(1) + W * H, 0), W * H);
}

TEST_F(DrawTest, OnlySolidOutlinesAndFilledBoxesDraw) {
  const auto before = snapshot(1);
  draw_line(nullptr, 10, 10, 20, 20, 1, 0, 0xFFFF, 0);  // straight line
  draw_line(nullptr, 10, 10, 20, 20, 1, 1, 0xF0F0, 0);  // dashed outline
  draw_line(nullptr, 10, 10, 20, 20, 1, 3, 0xFFFF, 0);
  EXPECT_TRUE(same_page(before, snapshot(1)));
}

TEST_F(DrawTest, BoxWithoutColourUsesTheForeground) {
  draw_line(nullptr, 4, 4, 4, 4, 2, 2, 0xFFFF, -1);
  EXPECT_EQ(pixel_get(nullptr, 4, 4), 15);
}

}  // namespace
}  // namespace runtime::draw_test
