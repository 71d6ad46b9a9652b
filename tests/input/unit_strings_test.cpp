// Byte-string operations: the listed cases, and string_find against a naive
// search over random bytes for both the one-byte scan and the longer search.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "runtime/input/strings.h"

namespace runtime {
namespace {

using namespace std::string_literals;

struct FindCase {
  int32_t start;
  std::string text;
  std::string pattern;
  int32_t expected;
};

class StringFind : public ::testing::TestWithParam<FindCase> {};

TEST_P(StringFind, Position) {
  const FindCase& c = GetParam();
  EXPECT_EQ(string_find(c.start, c.text, c.pattern), c.expected)
      << "start " << c.start << " text '" << c.text << "' pattern '" << c.pattern << "'";
}

INSTANTIATE_TEST_SUITE_P(
    Listed, StringFind,
    ::testing::Values(
        FindCase{1, "789", "8", 2}, FindCase{1, "123", "8", 0}, FindCase{1, "789", "\xffH", 0},
        FindCase{1, "123", "", 0}, FindCase{1, "", "1", 0}, FindCase{1, "123", "1234", 0},
        FindCase{0, "123", "1", 0}, FindCase{-7, "123", "1", 0}, FindCase{4, "123", "3", 0},
        FindCase{2, "123", "1", 0}, FindCase{1, "123", "3", 3}, FindCase{1, "123", "23", 2},
        FindCase{1, "1212", "12", 1}, FindCase{2, "1212", "12", 3}, FindCase{3, "1212", "12", 3},
        FindCase{4, "1212", "12", 0}, FindCase{3, "123", "23", 0}, FindCase{1, "abcabd", "abd", 4},
        FindCase{1, "aaaaab", "aab", 4}, FindCase{1, "\0\xff\0"s, "\xff\0"s, 2},
        FindCase{1, "x\xff\xffy", "\xff\xff", 2}, FindCase{1, "abababab", "abab", 1},
        FindCase{2, "abababab", "abab", 3}));

int32_t naive_find(int32_t start, const std::string& text, const std::string& pattern) {
  if (text.empty() || pattern.empty() || start < 1 || static_cast<size_t>(start) > text.size() ||
      pattern.size() > text.size()) {
    return 0;
  }
  for (size_t i = static_cast<size_t>(start) - 1; i + pattern.size() <= text.size(); ++i) {
    if (text.compare(i, pattern.size(), pattern) == 0) return static_cast<int32_t>(i) + 1;
  }
  return 0;
}

// Small alphabets make matches and near-matches common, which is where a
// shift table goes wrong; the alphabet always holds bytes 0 and 255.
std::string random_bytes(std::mt19937& rng, size_t length, int alphabet) {
  std::uniform_int_distribution<int> pick(0, alphabet - 1);
  std::string s(length, '\0');
  for (char& c : s) {
    const int k = pick(rng);
    c = static_cast<char>(k == 0 ? 0 : k == 1 ? 255 : 'a' + k);
  }
  return s;
}

void check_against_naive(size_t min_pattern, size_t max_pattern) {
  std::mt19937 rng(12345);
  for (int round = 0; round < 20000; ++round) {
    const int alphabet = 2 + round % 4;
    std::uniform_int_distribution<size_t> text_len(0, 40);
    std::uniform_int_distribution<size_t> pat_len(min_pattern, max_pattern);
    const std::string text = random_bytes(rng, text_len(rng), alphabet);
    std::string pattern = random_bytes(rng, pat_len(rng), alphabet);
    // Half the time take the pattern from the text so that it does occur.
    if (round % 2 == 0 && text.size() >= pattern.size() && !pattern.empty()) {
      std::uniform_int_distribution<size_t> at(0, text.size() - pattern.size());
      pattern = text.substr(at(rng), pattern.size());
    }
    std::uniform_int_distribution<int32_t> start(-1, static_cast<int32_t>(text.size()) + 1);
    const int32_t s = start(rng);
    ASSERT_EQ(string_find(s, text, pattern), naive_find(s, text, pattern))
        << "round " << round << " start " << s;
  }
}

TEST(StringFindRandom, OneBytePatternMatchesNaiveSearch) { check_against_naive(1, 1); }
TEST(StringFindRandom, LongerPatternMatchesNaiveSearch) { check_against_naive(2, 12); }

struct CompareCase {
  std::string a;
  std::string b;
  int32_t expected;
};

class StringCompare : public ::testing::TestWithParam<CompareCase> {};

TEST_P(StringCompare, Order) {
  const CompareCase& c = GetParam();
  EXPECT_EQ(string_compare(c.a, c.b), c.expected);
  EXPECT_EQ(string_compare(c.b, c.a), -c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StringCompare,
    ::testing::Values(CompareCase{"a", "b", -1}, CompareCase{"ab", "a", 1},
                      CompareCase{"\xff", "z", 1}, CompareCase{"\x1b", "\x1b", 0},
                      CompareCase{"\x1bx", "\x1b", 1}, CompareCase{"", "\x1b", -1},
                      CompareCase{"", "", 0}, CompareCase{"\0"s, "", 1},
                      CompareCase{"a\0b"s, "a\0c"s, -1}, CompareCase{"\x80", "\x7f", 1},
                      CompareCase{"\xffk", "\xffH", 1}));

// The key step compares against a two-byte constant (27 and a terminating 0),
// of which only the bytes before the 0 count.
TEST(StringCompare, EscapeLiteralCountsUpToItsZeroByte) {
  const char escape_literal[2] = {27, 0};
  EXPECT_EQ(string_compare("\x1b", escape_literal), 0);
}

TEST(StringSpaces, LengthAndContent) {
  EXPECT_EQ(string_spaces(1), " ");
  EXPECT_EQ(string_spaces(3), "   ");
  EXPECT_EQ(string_spaces(0), "");
  EXPECT_EQ(string_spaces(-5), "");
  EXPECT_EQ(string_spaces(INT32_MIN), "");
}

TEST(StringLength, CountsEveryByte) {
  EXPECT_EQ(string_length(""), 0);
  EXPECT_EQ(string_length("\xffH"), 2);
  EXPECT_EQ(string_length("\0\0\0"s), 3);
}

}  // namespace
}  // namespace runtime
