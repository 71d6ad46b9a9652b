// Conversion of one collected item's text to the int32 it stands for:
// decimal (with strtoul's sign and overflow rules), radix-prefixed (&H, &O,
// &B, bare & for octal) and floating-point forms.
//
// Pure functions of their arguments: any thread, no allocation. The text is
// given with its length and may contain any byte, 0 included.
#pragma once

#include <cstddef>
#include <cstdint>

namespace runtime {

// The value of an item. `floating` says a point, E or D came before any
// ampersand while it was collected. Every converter can also say how many
// characters from the start of the text (leading spaces included) it read as
// the number, 0 when it found no digits: a tool tells "12abc" (12, then text
// the game ignores) and "abc" (0) from a plain number that way.
int32_t item_to_int32(const char* text, size_t length, bool floating, size_t* used = nullptr);

// strtoul in base 10 cut to 32 bits: leading white space, one optional sign,
// digits. A minus negates modulo 2^32; a magnitude above 2^32 - 1 gives all
// bits set whatever the sign.
int32_t decimal_to_int32(const char* text, size_t length, size_t* used = nullptr);

// Text starting with an ampersand: &H/&h hex, &O/&o octal, &B/&b binary, any
// other character after the ampersand octal from there. Digits wrap modulo 2^32.
int32_t radix_to_int32(const char* text, size_t length, size_t* used = nullptr);

// A decimal floating-point number as strtod reads it, rounded to nearest with
// halves to even. Text starting with 0x gives 0.
int32_t floating_to_int32(const char* text, size_t length, size_t* used = nullptr);

// Nearest integer, halves to even; NaN, infinities and anything outside the
// int32 range give INT32_MIN.
int32_t round_half_even_to_int32(double value);

}  // namespace runtime
