// Coordinate conversion, and pixel_set / pixel_get at and around every edge
// and corner of the page, with the colour reduction they apply.
#include <cmath>
#include <limits>

#include "runtime/screen/coordinates.h"
#include "runtime/screen/draw_state.h"
#include "runtime/screen/pixels.h"
#include "tests/screen/draw_fixture.h"

namespace runtime::draw_test {
namespace {

constexpr float NaN = std::numeric_limits<float>::quiet_NaN();
constexpr float INF = std::numeric_limits<float>::infinity();

struct RoundCase {
  float in;
  int64_t out;
};

class CoordinateRounding : public ::testing::TestWithParam<RoundCase> {};

TEST_P(CoordinateRounding, NearestWithHalvesAwayFromZero) {
  EXPECT_EQ(coordinate_to_pixel(GetParam().in), GetParam().out) << GetParam().in;
}

INSTANTIATE_TEST_SUITE_P(
    Table, CoordinateRounding,
    ::testing::Values(RoundCase{0.0f, 0}, RoundCase{-0.0f, 0}, RoundCase{0.4f, 0},
                      RoundCase{0.5f, 1}, RoundCase{-0.5f, -1}, RoundCase{-0.4f, 0},
                      RoundCase{2.5f, 3}, RoundCase{-2.5f, -3}, RoundCase{319.0f, 319},
                      RoundCase{319.4f, 319}, RoundCase{319.5f, 320}, RoundCase{199.49f, 199},
                      // Float addition would round these up; the exact sum does not.
                      RoundCase{0.49999997f, 0}, RoundCase{-0.49999997f, 0},
                      RoundCase{8388609.0f, 8388609}, RoundCase{-8388609.0f, -8388609},
                      // The largest floats that still fit int32.
                      RoundCase{2147483520.0f, 2147483520}, RoundCase{-2147483648.0f, INT32_MIN},
                      // No pixel position: off every page, on the side they point to.
                      RoundCase{2147483648.0f, OFF_PAGE_HIGH}, RoundCase{3e9f, OFF_PAGE_HIGH},
                      RoundCase{-2147483904.0f, OFF_PAGE_LOW}, RoundCase{-1e30f, OFF_PAGE_LOW},
                      RoundCase{INF, OFF_PAGE_HIGH}, RoundCase{-INF, OFF_PAGE_LOW},
                      RoundCase{NaN, OFF_PAGE_LOW}));

TEST(CoordinateOrigin, OffPageMarkersIgnoreTheOrigin) {
  EXPECT_EQ(point_to_pixel(2.5f, -2.5f, 10, 20).x, 13);
  EXPECT_EQ(point_to_pixel(2.5f, -2.5f, 10, 20).y, 17);
  EXPECT_EQ(point_to_pixel(NaN, INF, INT32_MAX, INT32_MIN).x, OFF_PAGE_LOW);
  EXPECT_EQ(point_to_pixel(NaN, INF, INT32_MAX, INT32_MIN).y, OFF_PAGE_HIGH);
}

// A point given as floats, and the pixel it must reach (off = no pixel).
struct PointCase {
  float x;
  float y;
  bool on_page;
  int32_t px;
  int32_t py;
};

std::vector<PointCase> point_cases() {
  return {
      {10, 10, true, 10, 10},       {2.5f, 2.5f, true, 3, 3},
      {0, 0, true, 0, 0},           {319, 0, true, 319, 0},
      {0, 199, true, 0, 199},       {319, 199, true, 319, 199},
      {-0.49f, -0.49f, true, 0, 0}, {319.4f, 0, true, 319, 0},
      {0, 199.49f, true, 0, 199},   {-0.5f, 0, false, 0, 0},
      {319.5f, 0, false, 0, 0},     {0, 199.5f, false, 0, 0},
      {-1, 0, false, 0, 0},         {320, 0, false, 0, 0},
      {0, -1, false, 0, 0},         {0, 200, false, 0, 0},
      {5, 200, false, 0, 0},        {320, 5, false, 0, 0},
      {-1, -1, false, 0, 0},        {320, 200, false, 0, 0},
      {-2.5f, 5, false, 0, 0},      {NaN, 5, false, 0, 0},
      {5, NaN, false, 0, 0},        {INF, 5, false, 0, 0},
      {5, -INF, false, 0, 0},       {3e9f, 5, false, 0, 0},
      {-3e9f, 5, false, 0, 0},      {2147483520.0f, 5, false, 0, 0},
  };
}

class PixelPoints : public DrawTest, public ::testing::WithParamInterface<PointCase> {};

TEST_P(PixelPoints, SetTouchesOnlyItsPixelAndGetReadsIt) {
  const PointCase c = GetParam();
  pixel_set(nullptr, c.x, c.y, 9, 4, 0);
  const auto want = expected_page([&](int32_t x, int32_t y, uint8_t old) {
    return c.on_page && x == c.px && y == c.py ? uint8_t{9} : old;
  });
  EXPECT_TRUE(same_page(want, snapshot(1)));
  EXPECT_EQ(pixel_get(nullptr, c.x, c.y), c.on_page ? 9 : -1);
}

INSTANTIATE_TEST_SUITE_P(EdgesCornersAndRounding, PixelPoints, ::testing::ValuesIn(point_cases()));

struct ColourCase {
  uint32_t colour;
  int32_t mode;
  int32_t preset;
  int32_t stored;
};

class PixelColours : public DrawTest, public ::testing::WithParamInterface<ColourCase> {};

TEST_P(PixelColours, StoresTheLowByteOrTheStateColour) {
  const ColourCase c = GetParam();
  pixel_set(nullptr, 10, 10, c.colour, c.mode, c.preset);
  EXPECT_EQ(pixel_get(nullptr, 10, 10), c.stored);
  EXPECT_EQ(page(1)[10 * W + 10], c.stored);
}

INSTANTIATE_TEST_SUITE_P(
    Table, PixelColours,
    ::testing::Values(ColourCase{17, 4, 0, 17}, ColourCase{256 + 3, 4, 0, 3},
                      ColourCase{0xFFFFFFFFu, 4, 0, 255}, ColourCase{0, 0, 1, 0},
                      // No colour given: foreground 15, or background 0 with preset.
                      ColourCase{7, -1, 0, 15}, ColourCase{7, -1, 1, 0}));

TEST_F(DrawTest, PixelsReadTheWorkPageNotTheVisibleOne) {
  screen_lock();
  page(0)[5 * W + 5] = 33;
  screen_unlock();
  EXPECT_EQ(pixel_get(nullptr, 5, 5), pattern(5, 5));
  screen_set_pages(0, -1);
  EXPECT_EQ(pixel_get(nullptr, 5, 5), 33);
}

TEST(PixelsWithoutScreen, DoNothingAndReadMinusOne) {
  screen_release();
  pixel_set(nullptr, 1, 1, 3, 4, 0);
  EXPECT_EQ(pixel_get(nullptr, 1, 1), -1);
  EXPECT_EQ(draw_select_target(nullptr), nullptr);
}

}  // namespace
}  // namespace runtime::draw_test
