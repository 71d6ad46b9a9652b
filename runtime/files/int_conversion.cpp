#include "runtime/files/int_conversion.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <string_view>

#include "runtime/files/item_reader.h"

namespace runtime {
namespace {

constexpr int32_t OUT_OF_RANGE = INT32_MIN;

// What isspace() accepts in the C locale, without depending on the locale.
bool is_c_space(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

size_t skip_spaces(const char* text, size_t length) {
  size_t i = 0;
  while (i < length && text[i] == ' ') {
    ++i;
  }
  return i;
}

// Value of c as a digit, or a number >= every base when it is none.
uint32_t digit_value(char c) {
  if (c >= '0' && c <= '9') {
    return static_cast<uint32_t>(c - '0');
  }
  if (c >= 'A' && c <= 'F') {
    return static_cast<uint32_t>(c - 'A' + 10);
  }
  if (c >= 'a' && c <= 'f') {
    return static_cast<uint32_t>(c - 'a' + 10);
  }
  return 99;
}

// Stores how far a conversion read, when the caller asked: `end` when digits
// were found, else 0.
void report_used(size_t* used, bool found_digits, size_t end) {
  if (used != nullptr) {
    *used = found_digits ? end : 0;
  }
}

// Before any text is read: nothing yet.
void report_none(size_t* used) {
  if (used != nullptr) *used = 0;
}

}  // namespace

int32_t decimal_to_int32(const char* text, size_t length, size_t* used) {
  size_t i = 0;
  while (i < length && is_c_space(text[i])) {
    ++i;
  }
  bool negative = false;
  if (i < length && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  uint64_t magnitude = 0;
  bool overflow = false;
  const size_t digits_start = i;
  for (; i < length && text[i] >= '0' && text[i] <= '9'; ++i) {
    if (!overflow) {
      magnitude = magnitude * 10 + static_cast<uint64_t>(text[i] - '0');
      overflow = magnitude > UINT32_MAX;
    }
  }
  report_used(used, i > digits_start, i);
  if (overflow) {
    return -1;
  }
  uint32_t bits = static_cast<uint32_t>(magnitude);
  if (negative) {
    bits = 0u - bits;
  }
  return static_cast<int32_t>(bits);
}

int32_t radix_to_int32(const char* text, size_t length, size_t* used) {
  report_none(used);
  if (length < 2 || text[0] != '&') {
    return 0;
  }
  uint32_t base = 8;
  size_t i = 1;
  switch (text[1]) {
    case 'H':
    case 'h':
      base = 16;
      i = 2;
      break;
    case 'O':
    case 'o':
      i = 2;
      break;
    case 'B':
    case 'b':
      base = 2;
      i = 2;
      break;
    default:
      break;
  }
  uint32_t bits = 0;
  const size_t digits_start = i;
  for (; i < length; ++i) {
    const uint32_t digit = digit_value(text[i]);
    if (digit >= base) {
      break;
    }
    bits = bits * base + digit;  // unsigned: wraps modulo 2^32 by definition
  }
  report_used(used, i > digits_start, i);
  return static_cast<int32_t>(bits);
}

int32_t round_half_even_to_int32(double value) {
  // The comparisons are false for NaN, which so lands out of range too.
  if (!(value >= -2147483648.5 && value <= 2147483647.5)) {
    return OUT_OF_RANGE;
  }
  const double below = std::floor(value);
  const double fraction = value - below;  // exact in this range
  double nearest = below;
  if (fraction > 0.5 || (fraction == 0.5 && std::fmod(below, 2.0) != 0.0)) {
    nearest = below + 1.0;
  }
  if (nearest > 2147483647.0) {
    return OUT_OF_RANGE;
  }
  return static_cast<int32_t>(nearest);
}

int32_t floating_to_int32(const char* text, size_t length, size_t* used) {
  report_none(used);
  const size_t start = skip_spaces(text, length);
  const std::string_view rest(text + start, length - start);
  if (rest.starts_with("0x") || rest.starts_with("0X")) return 0;
  // strtod wants a terminated string, and E where BASIC also writes D; an
  // item is short enough for the stack.
  char copy[ITEM_MAX_LENGTH + 1];
  const size_t count = std::min(length - start, ITEM_MAX_LENGTH);
  for (size_t i = 0; i < count; ++i) {
    const char c = text[start + i];
    copy[i] = c == 'D' ? 'E' : c == 'd' ? 'e' : c;
  }
  copy[count] = 0;
  char* end = copy;
  const double value = std::strtod(copy, &end);
  report_used(used, end != copy, start + static_cast<size_t>(end - copy));
  return round_half_even_to_int32(value);
}

int32_t item_to_int32(const char* text, size_t length, bool floating, size_t* used) {
  if (floating) {
    return floating_to_int32(text, length, used);
  }
  report_none(used);
  const size_t start = skip_spaces(text, length);
  if (start == length) {
    return 0;
  }
  size_t rest = 0;
  const int32_t value = length - start >= 2 && text[start] == '&'
                            ? radix_to_int32(text + start, length - start, &rest)
                            : decimal_to_int32(text + start, length - start, &rest);
  report_used(used, rest > 0, start + rest);
  return value;
}

}  // namespace runtime
