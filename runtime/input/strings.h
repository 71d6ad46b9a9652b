// Byte-string operations the key step applies to key strings: length, a run of
// spaces, three-way comparison and search. Strings hold any byte 0..255 and
// compare unsigned. Pure functions over their arguments; any thread.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace runtime {

// Byte count, saturated at INT32_MAX for strings too long to count in 32 bits.
int32_t string_length(std::string_view s);

// n bytes of 32; empty for n < 1 or when the string cannot be allocated.
std::string string_spaces(int32_t n);

// -1, 0 or 1: bytes compared unsigned, then a shorter prefix is the smaller.
int32_t string_compare(std::string_view a, std::string_view b);

// 1-based position of the leftmost occurrence of `pattern` in `text` that
// begins at `start` or later; 0 when there is none or the arguments are out of
// range (empty text or pattern, start outside 1..length(text)).
int32_t string_find(int32_t start, std::string_view text, std::string_view pattern);

}  // namespace runtime
