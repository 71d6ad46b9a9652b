// Turning the float coordinates of the drawing calls into pixel positions.
// Pure functions, callable from any thread.
//
// A coordinate becomes the nearest integer, halves away from zero. The result
// is 64-bit so that adding a clip origin or a width can never overflow, and a
// coordinate with no pixel position (NaN, an infinity, or a value whose
// nearest integer is outside int32) becomes a position outside every page:
// OFF_PAGE_LOW below, OFF_PAGE_HIGH above. NaN has no side and is put below,
// so a box corner at NaN behaves like one at minus infinity.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

namespace runtime {

constexpr int64_t OFF_PAGE_LOW = int64_t{std::numeric_limits<int32_t>::min()} - 1;
constexpr int64_t OFF_PAGE_HIGH = int64_t{std::numeric_limits<int32_t>::max()} + 1;

// Nearest integer, halves away from zero. The arithmetic is done in double,
// where x + 0.5 is exact for every float, so 0.49999997f gives 0 and
// 8388609.0f stays 8388609 (float addition would round both up).
inline int64_t coordinate_to_pixel(float value) {
  if (std::isnan(value)) return OFF_PAGE_LOW;
  const double v = static_cast<double>(value);
  const double shifted = v > 0.0 ? v + 0.5 : v - 0.5;
  // The integer cast truncates toward zero, which is the rounding wanted; the
  // bounds are where that truncation leaves the int32 range (infinities too).
  if (shifted >= 2147483648.0) return OFF_PAGE_HIGH;
  if (shifted <= -2147483649.0) return OFF_PAGE_LOW;
  return static_cast<int64_t>(shifted);
}

struct PixelPoint {
  int64_t x;
  int64_t y;
};

// A drawing point: each coordinate converted, then moved by the clip origin.
// Off-page markers stay off the page whatever the origin.
inline PixelPoint point_to_pixel(float x, float y, int32_t origin_x, int32_t origin_y) {
  auto place = [](float v, int32_t origin) {
    const int64_t p = coordinate_to_pixel(v);
    if (p == OFF_PAGE_LOW || p == OFF_PAGE_HIGH) return p;
    return p + origin;
  };
  return PixelPoint{place(x, origin_x), place(y, origin_y)};
}

}  // namespace runtime
