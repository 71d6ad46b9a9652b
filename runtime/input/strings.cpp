#include "runtime/input/strings.h"

#include <array>
#include <cstddef>
#include <cstring>
#include <limits>
#include <new>
#include <vector>

namespace runtime {

namespace {

constexpr size_t MAX_LENGTH = static_cast<size_t>(std::numeric_limits<int32_t>::max());

// Positions are reported as int32; text beyond that cannot be addressed by a
// caller and is not searched.
std::string_view clamp_to_int32(std::string_view s) {
  return s.substr(0, MAX_LENGTH);  // no longer than it was
}

int32_t forward_scan(std::string_view text, size_t from, unsigned char byte) {
  const void* hit = std::memchr(text.data() + from, byte, text.size() - from);
  if (hit == nullptr) return 0;
  return static_cast<int32_t>(static_cast<const char*>(hit) - text.data()) + 1;
}

// good_suffix[j]: how far to slide the pattern when the byte at j mismatched
// after pattern[j+1..] matched. Classic strong good-suffix rule in two passes
// (suffix borders, then the longest prefix that is also a suffix).
std::vector<size_t> good_suffix_table(std::string_view p) {
  const size_t m = p.size();
  std::vector<size_t> shift(m + 1, 0);
  std::vector<size_t> border(m + 1);  // each entry written before it is read
  size_t i = m;
  size_t j = m + 1;
  border[i] = j;
  while (i > 0) {
    while (j <= m && p[i - 1] != p[j - 1]) {
      if (shift[j] == 0) shift[j] = j - i;
      j = border[j];
    }
    --i;
    --j;
    border[i] = j;
  }
  j = border[0];
  for (i = 0; i <= m; ++i) {
    if (shift[i] == 0) shift[i] = j;
    if (i == j) j = border[j];
  }
  // shift has m + 1 entries indexed by the position after the mismatch.
  return shift;
}

int32_t boyer_moore(std::string_view text, size_t from, std::string_view p) {
  const size_t m = p.size();
  const size_t n = text.size();
  // Last position of each byte in the pattern, -1 where it does not occur.
  std::array<std::ptrdiff_t, 256> last{};
  last.fill(-1);
  for (size_t k = 0; k < m; ++k) {
    last[static_cast<unsigned char>(p[k])] = static_cast<std::ptrdiff_t>(k);
  }
  const std::vector<size_t> good = good_suffix_table(p);

  size_t s = from;
  while (s <= n - m) {
    std::ptrdiff_t j = static_cast<std::ptrdiff_t>(m) - 1;
    while (j >= 0 && p[static_cast<size_t>(j)] == text[s + static_cast<size_t>(j)]) --j;
    if (j < 0) return static_cast<int32_t>(s) + 1;
    const std::ptrdiff_t bad =
        j - last[static_cast<unsigned char>(text[s + static_cast<size_t>(j)])];
    const size_t good_shift = good[static_cast<size_t>(j) + 1];
    const size_t step =
        bad > static_cast<std::ptrdiff_t>(good_shift) ? static_cast<size_t>(bad) : good_shift;
    s += step;
  }
  return 0;
}

}  // namespace

int32_t string_length(std::string_view s) {
  return s.size() > MAX_LENGTH ? std::numeric_limits<int32_t>::max()
                               : static_cast<int32_t>(s.size());
}

std::string string_spaces(int32_t n) {
  if (n < 1) return {};
  try {
    return std::string(static_cast<size_t>(n), ' ');
  } catch (const std::bad_alloc&) {
    return {};
  }
}

int32_t string_compare(std::string_view a, std::string_view b) {
  // char_traits<char> orders bytes as unsigned char, which is the order
  // wanted here; a string that runs out first comes first.
  const int order = a.compare(b);
  return (order > 0) - (order < 0);
}

int32_t string_find(int32_t start, std::string_view text, std::string_view pattern) {
  text = clamp_to_int32(text);
  if (text.empty() || pattern.empty()) return 0;
  if (start < 1 || static_cast<size_t>(start) > text.size()) return 0;
  const size_t from = static_cast<size_t>(start) - 1;
  if (pattern.size() == 1) return forward_scan(text, from, static_cast<unsigned char>(pattern[0]));
  if (text.size() - from < pattern.size()) return 0;
  return boyer_moore(text, from, pattern);
}

}  // namespace runtime
