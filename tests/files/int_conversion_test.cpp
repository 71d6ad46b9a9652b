// Conversion of collected item text: the rounding of floating-point values at
// the int32 edges, and agreement with the C library on random decimal text.
#include <gtest/gtest.h>

#include <cfenv>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <random>
#include <string>

#include "runtime/files/int_conversion.h"
#include "runtime/files/item_reader.h"

namespace {

using runtime::item_to_int32;
using runtime::round_half_even_to_int32;

struct RoundCase {
  double value;
  int32_t expected;
};

TEST(RoundHalfEven, EdgesAndNonFiniteValues) {
  const double inf = std::numeric_limits<double>::infinity();
  const RoundCase cases[] = {
      {0.0, 0},
      {-0.0, 0},
      {0.49999999999999994, 0},
      {0.5, 0},
      {1.5, 2},
      {2.5, 2},
      {-2.5, -2},
      {-3.5, -4},
      {2147483646.5, 2147483646},
      {2147483647.0, 2147483647},
      {2147483647.49, 2147483647},
      {2147483647.5, INT32_MIN},
      {2147483648.0, INT32_MIN},
      {-2147483648.0, INT32_MIN},
      {-2147483648.5, INT32_MIN},  // the even neighbour -2147483648 is in range
      {-2147483648.51, INT32_MIN},
      {-2147483649.0, INT32_MIN},
      {4503599627370497.0, INT32_MIN},
      {1e300, INT32_MIN},
      {-1e300, INT32_MIN},
      {inf, INT32_MIN},
      {-inf, INT32_MIN},
      {std::numeric_limits<double>::quiet_NaN(), INT32_MIN},
      {-std::numeric_limits<double>::quiet_NaN(), INT32_MIN},
      {std::numeric_limits<double>::denorm_min(), 0},
  };
  for (const RoundCase& c : cases) {
    EXPECT_EQ(round_half_even_to_int32(c.value), c.expected) << c.value;
  }
  // -2147483647.5 lies between -2147483648 (even) and -2147483647.
  EXPECT_EQ(round_half_even_to_int32(-2147483647.5), -2147483647 - 1);
  EXPECT_EQ(round_half_even_to_int32(-2147483646.5), -2147483646);
}

// Random decimal floating-point text against strtod and the FPU's own
// round-to-nearest-even.
TEST(FloatingItems, AgreeWithStrtodAndNearbyint) {
  ASSERT_EQ(std::fegetround(), FE_TONEAREST);
  std::mt19937 rng(7);
  std::uniform_int_distribution<int> digit(0, 9);
  std::uniform_int_distribution<int> len(0, 12);
  for (int i = 0; i < 20000; ++i) {
    std::string text = rng() % 3 == 0 ? "-" : "";
    for (int n = len(rng); n > 0; --n) text += static_cast<char>('0' + digit(rng));
    text += '.';
    for (int n = len(rng) % 4; n > 0; --n) text += static_cast<char>('0' + digit(rng));
    if (rng() % 4 == 0) text += "e" + std::to_string(static_cast<int>(rng() % 7) - 3);
    const double parsed = std::strtod(text.c_str(), nullptr);
    const double nearest = std::nearbyint(parsed);
    const int32_t expected = nearest >= -2147483648.0 && nearest <= 2147483647.0
                                 ? static_cast<int32_t>(nearest)
                                 : INT32_MIN;
    ASSERT_EQ(item_to_int32(text.data(), text.size(), true), expected) << text;
  }
}

// Any bytes at all convert without trapping, and only the given length is
// read: the same text followed by digits or by a comma converts alike. Under
// the sanitizers this is also where undefined behaviour would show.
TEST(Conversion, AnyBytesAreSafeAndBounded) {
  std::mt19937 rng(11);
  const char alphabet[] = "0123456789+-.eEdDxX&HhOoBb \t\v\"nanif\xff\x80";
  for (int i = 0; i < 50000; ++i) {
    const size_t length = rng() % (runtime::ITEM_MAX_LENGTH + 1);
    std::string text;
    for (size_t k = 0; k < length; ++k) {
      text += rng() % 8 == 0 ? static_cast<char>(rng()) : alphabet[rng() % (sizeof alphabet - 1)];
    }
    const std::string then_digits = text + "987";
    const std::string then_comma = text + ",";
    for (bool floating : {false, true}) {
      ASSERT_EQ(item_to_int32(then_digits.data(), length, floating),
                item_to_int32(then_comma.data(), length, floating))
          << "floating " << floating << " text '" << text << "'";
    }
  }
}

}  // namespace
