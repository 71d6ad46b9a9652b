// Code page 437, the character set of KeyCodes: conversion from Unicode code
// points and decoding of the UTF-8 text the platform delivers. Pure; any thread.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace runtime {

// The code page 437 byte of `code_point`, or false when it has none. Code
// points 0..127 are themselves.
bool cp437_lookup(uint32_t code_point, uint8_t& byte);

// The code page 437 byte of `code_point`; '?' when it has none.
uint8_t cp437_from_code_point(uint32_t code_point);

// The code points of UTF-8 `text`. Each malformed sequence (stray
// continuation byte, truncated or overlong form, surrogate, beyond U+10FFFF)
// becomes one U+FFFD and decoding resumes at the next byte.
std::vector<uint32_t> utf8_decode(std::string_view text);

}  // namespace runtime
