// Writes a list of values out as .mem text in a random valid layout: every
// separator form, quotes, radix and floating-point spellings of each value.
#pragma once

#include <cstdint>
#include <cstdio>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace files_test {

using Rng = std::mt19937;

inline int pick(Rng& rng, int count) {
  return std::uniform_int_distribution<int>(0, count - 1)(rng);
}

inline std::string format(const char* pattern, long long value) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, pattern, value);
  return buffer;
}

inline std::string in_base(uint32_t bits, uint32_t base) {
  if (bits == 0) return "0";
  std::string digits;
  for (; bits != 0; bits /= base) digits.insert(digits.begin(), "0123456789ABCDEF"[bits % base]);
  return digits;
}

// One spelling, chosen at random, that reads as `value`.
inline std::string spell(int32_t value, Rng& rng) {
  const auto bits = static_cast<uint32_t>(value);
  switch (pick(rng, 14)) {
    case 0:
      return std::to_string(value);
    case 1:
      return value >= 0 ? "+" + std::to_string(value) : std::to_string(value);
    case 2:
      return "\"" + std::to_string(value) + "\"";
    case 3:
      return "\"  " + std::to_string(value) + " \"";
    case 4:
      return std::to_string(bits);  // the unsigned spelling of the same 32 bits
    case 5:
      return (pick(rng, 2) ? "&H" : "&h") + in_base(bits, 16);
    case 6:
      return "&O" + in_base(bits, 8);
    case 7:
      return "&" + in_base(bits, 8);
    case 8:
      return "&B" + in_base(bits, 2);
    case 9:
      return format("%lld.25", value);  // rounds back down to the value
    case 10:
      return format("%lldE0", value);
    case 11:
      return format(pick(rng, 2) ? "%lldd0" : "%lldD0", value);
    case 12:
      return format(value % 2 == 0 ? "%lld.5" : "%lld.0", value);  // a half goes to even
    default: {
      // value * 100 with exponent -2; exact in binary after strtod's rounding.
      return format("%lldE-2", static_cast<long long>(value) * 100);
    }
  }
}

inline const char* const SEPARATORS[] = {
    ",", " ", "  ", "\t", "\n", "\r\n", "\r", " ,", "\t, ", ", \t", "  \n", "\t\r\n", " \r",
};

// The values in reading order, `width` to a row, as the text of a file.
inline std::string write_layout(const std::vector<int32_t>& values, int width, Rng& rng) {
  std::string text;
  if (pick(rng, 4) == 0) text += "  \t";
  for (size_t i = 0; i < values.size(); ++i) {
    text += spell(values[i], rng);
    const bool row_end = (i + 1) % static_cast<size_t>(width) == 0;
    text += row_end && pick(rng, 2)
                ? (pick(rng, 2) ? "\r\n" : "\n")
                : SEPARATORS[pick(rng, static_cast<int>(std::size(SEPARATORS)))];
    if (pick(rng, 6) == 0) text += pick(rng, 2) ? " " : "\t";  // leading blanks of the next item
  }
  return text;
}

}  // namespace files_test
