// Unicode to code page 437, and decoding of the UTF-8 the platform types.
#include <gtest/gtest.h>

#include <vector>

#include "runtime/input/cp437.h"

namespace runtime {
namespace {

TEST(Cp437, KnownCharacters) {
  EXPECT_EQ(cp437_from_code_point('8'), '8');
  EXPECT_EQ(cp437_from_code_point(0x00E9), 0x82);  // e acute
  EXPECT_EQ(cp437_from_code_point(0x00C7), 0x80);  // C cedilla
  EXPECT_EQ(cp437_from_code_point(0x00DF), 0xE1);  // sharp s
  EXPECT_EQ(cp437_from_code_point(0x2591), 0xB0);  // light shade
  EXPECT_EQ(cp437_from_code_point(0x00A0), 0xFF);  // no-break space
  EXPECT_EQ(cp437_from_code_point(0x00A3), 0x9C);  // pound sign
}

TEST(Cp437, CharactersWithoutAByteBecomeQuestionMark) {
  uint8_t byte = 0;
  for (uint32_t cp : {0x20ACu, 0x00C0u, 0x4E2Du, 0x1F600u, 0x110000u, 0xFFFFFFFFu}) {
    EXPECT_FALSE(cp437_lookup(cp, byte)) << cp;
    EXPECT_EQ(cp437_from_code_point(cp), '?') << cp;
  }
}

TEST(Cp437, EveryByteFromTheUpperHalfHasExactlyOneCodePoint) {
  // Round trip over the BMP: each byte 0x80..0xFF is reached by one code point.
  std::vector<int> hits(256, 0);
  for (uint32_t cp = 0x80; cp < 0x10000; ++cp) {
    uint8_t byte = 0;
    if (cp437_lookup(cp, byte)) ++hits[byte];
  }
  for (int b = 0x80; b < 256; ++b) EXPECT_EQ(hits[static_cast<size_t>(b)], 1) << b;
}

struct Utf8Case {
  const char* name;
  std::string text;
  std::vector<uint32_t> expected;
};

class Utf8Decode : public ::testing::TestWithParam<Utf8Case> {};

TEST_P(Utf8Decode, CodePoints) { EXPECT_EQ(utf8_decode(GetParam().text), GetParam().expected); }

INSTANTIATE_TEST_SUITE_P(
    Cases, Utf8Decode,
    ::testing::Values(Utf8Case{"Ascii", "a8", {'a', '8'}}, Utf8Case{"TwoByte", "\xc3\xa9", {0xE9}},
                      Utf8Case{"ThreeByte", "\xe2\x82\xac", {0x20AC}},
                      Utf8Case{"FourByte", "\xf0\x9f\x98\x80", {0x1F600}},
                      Utf8Case{"StrayContinuation", "\x80x", {0xFFFD, 'x'}},
                      Utf8Case{"Truncated", "\xc3", {0xFFFD}},
                      Utf8Case{"TruncatedThenAscii", "\xe2\x82x", {0xFFFD, 0xFFFD, 'x'}},
                      Utf8Case{"Overlong", "\xc0\xaf", {0xFFFD, 0xFFFD}},
                      Utf8Case{"Surrogate", "\xed\xa0\x80", {0xFFFD, 0xFFFD, 0xFFFD}},
                      Utf8Case{
                          "BeyondUnicode", "\xf4\x90\x80\x80", {0xFFFD, 0xFFFD, 0xFFFD, 0xFFFD}},
                      Utf8Case{"InvalidLead", "\xff", {0xFFFD}}),
    [](const ::testing::TestParamInfo<Utf8Case>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace runtime
