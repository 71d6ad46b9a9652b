// Random pictures written out in random valid layouts (every separator form,
// quotes, radix and floating-point spellings of the same values) must read
// back through the numbered-file service item for item.
#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "runtime/files/file_table.h"
#include "temp_files.h"

namespace {

using Rng = std::mt19937;

int pick(Rng& rng, int count) { return std::uniform_int_distribution<int>(0, count - 1)(rng); }

std::string format(const char* pattern, long long value) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, pattern, value);
  return buffer;
}

std::string in_base(uint32_t bits, uint32_t base) {
  if (bits == 0) return "0";
  std::string digits;
  for (; bits != 0; bits /= base) digits.insert(digits.begin(), "0123456789ABCDEF"[bits % base]);
  return digits;
}

// One spelling, chosen at random, that reads as `value`.
std::string spell(int32_t value, Rng& rng) {
  const auto bits = static_cast<uint32_t>(value);
  switch (pick(rng, 14)) {
    case 0: return std::to_string(value);
    case 1: return value >= 0 ? "+" + std::to_string(value) : std::to_string(value);
    case 2: return "\"" + std::to_string(value) + "\"";
    case 3: return "\"  " + std::to_string(value) + " \"";
    case 4: return std::to_string(bits);  // the unsigned spelling of the same 32 bits
    case 5: return (pick(rng, 2) ? "&H" : "&h") + in_base(bits, 16);
    case 6: return "&O" + in_base(bits, 8);
    case 7: return "&" + in_base(bits, 8);
    case 8: return "&B" + in_base(bits, 2);
    case 9: return format("%lld.25", value);  // rounds back down to the value
    case 10: return format("%lldE0", value);
    case 11: return format(pick(rng, 2) ? "%lldd0" : "%lldD0", value);
    case 12: return format(value % 2 == 0 ? "%lld.5" : "%lld.0", value);  // a half goes to even
    default: {
      // value * 100 with exponent -2; exact in binary after strtod's rounding.
      return format("%lldE-2", static_cast<long long>(value) * 100);
    }
  }
}

const char* const SEPARATORS[] = {
    ",", " ", "  ", "\t", "\n", "\r\n", "\r", " ,", "\t, ", ", \t", "  \n", "\t\r\n", " \r",
};

TEST(LayoutProperty, RandomLayoutsReadBackTheSamePicture) {
  files_test::TempDir dir;
  ASSERT_TRUE(dir.ok());
  for (uint32_t seed = 1; seed <= 150; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    Rng rng(seed);
    const int width = 1 + pick(rng, 64);
    const int height = 1 + pick(rng, 32);
    std::vector<int32_t> picture;
    std::string text;
    if (pick(rng, 4) == 0) text += "  \t";
    for (int i = 0; i < width * height; ++i) {
      const int32_t value = pick(rng, 8) == 0 ? pick(rng, 600) - 300 : pick(rng, 16);
      picture.push_back(value);
      text += spell(value, rng);
      const bool row_end = (i + 1) % width == 0;
      text += row_end && pick(rng, 2) ? (pick(rng, 2) ? "\r\n" : "\n")
                                      : SEPARATORS[pick(rng, std::size(SEPARATORS))];
      if (pick(rng, 6) == 0) text += pick(rng, 2) ? " " : "\t";  // leading blanks of the next item
    }
    const std::string path = dir.write("picture.mem", text);
    ASSERT_EQ(runtime::text_file_open(path, 1), runtime::RESULT_OK);
    std::vector<int32_t> read;
    for (size_t i = 0; i < picture.size(); ++i) {
      runtime::text_file_begin_input(1);
      int32_t v = 0;
      runtime::text_file_read_int(v);
      read.push_back(v);
    }
    runtime::text_file_close(1);
    ASSERT_EQ(read, picture) << "file text:\n" << text;
  }
}

}  // namespace
