// The key ring and the byte-string operations against plain models: a queue
// that keeps the newest 15 keys, and searches and comparisons over random
// bytes from small alphabets holding 0 and 255, where matches and near
// matches are common and a search's shift tables go wrong; and the clock.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <deque>
#include <random>
#include <thread>

#include "runtime/input/clock.h"
#include "runtime/input/cp437.h"
#include "runtime/input/key_poll.h"
#include "runtime/input/strings.h"

namespace {

using namespace runtime;

TEST(Input, KeyRingKeepsTheFifteenNewestKeysInOrder) {
  std::deque<KeyCode> model;
  std::mt19937 random(7);
  for (KeyCode next = 1; next < 5000; ++next) {
    if (random() % 40 < (next / 200 % 2 ? 10u : 30u)) {  // runs that fill and runs that empty
      key_post(next);
      model.push_back(next);
      if (model.size() > 15) model.pop_front();
    } else {
      ASSERT_EQ(key_take(key_buffer()), model.empty() ? 0 : model.front()) << next;
      if (!model.empty()) model.pop_front();
    }
  }
  key_buffer().read_index = key_buffer().write_index = 35;  // wrapped into the ring, not used
  key_post(0x48FF);
  EXPECT_EQ(key_string(key_take(key_buffer())), "\xffH");
  EXPECT_EQ(key_string(key_take(key_buffer())), "");
  EXPECT_EQ(key_string(255), "\xff");
}

TEST(Input, StringsAgreeWithModels) {
  std::mt19937 random(12345);
  auto bytes = [&](size_t length, unsigned alphabet) {
    std::string s;
    for (size_t i = 0; i < length; ++i)
      s += "\0\xff"
           "abc"[random() % alphabet];
    return s;
  };
  for (int round = 0; round < 40000; ++round) {
    const unsigned alphabet = 2 + round % 4;
    const std::string text = bytes(random() % 30, alphabet);
    std::string pattern = bytes(round % 3 ? random() % 8 : 1, alphabet);
    if (round % 2 == 0 && text.size() >= pattern.size()) {
      pattern = text.substr(random() % (text.size() - pattern.size() + 1), pattern.size());
    }
    const auto start = static_cast<int32_t>(random() % (text.size() + 3)) - 1;
    const size_t at = start < 1 || pattern.empty()
                          ? std::string::npos
                          : text.find(pattern, static_cast<size_t>(start) - 1);
    ASSERT_EQ(string_find(start, text, pattern),
              at == std::string::npos || static_cast<size_t>(start) > text.size()
                  ? 0
                  : static_cast<int32_t>(at) + 1)
        << round;
    const auto before = [](const std::string& x, const std::string& y) {  // bytes unsigned
      return std::lexicographical_compare(
          x.begin(), x.end(), y.begin(), y.end(),
          [](char p, char q) { return static_cast<uint8_t>(p) < static_cast<uint8_t>(q); });
    };
    ASSERT_EQ(string_compare(text, pattern), before(text, pattern)   ? -1
                                             : before(pattern, text) ? 1
                                                                     : 0)
        << round;
  }
  EXPECT_EQ(string_length(std::string("\0\xffH", 3)), 3);
  EXPECT_EQ(string_spaces(3) + string_spaces(-5), "   ");
}

// A view that ends inside a character, even where the bytes past its end
// would complete it, ends in one replacement character.
TEST(Input, TextCutInsideACharacterEndsReplaced) {
  EXPECT_EQ(utf8_decode(std::string_view("a\xc3\xa9", 2)), (std::vector<uint32_t>{'a', 0xFFFD}));
}

// The game's pace: the clock never runs backwards, and counts a sleep as at
// least its length.
TEST(Input, ClockRunsForwardWithTheSystem) {
  double last = clock_seconds();
  for (int i = 0; i < 10000; ++i) {
    const double now = clock_seconds();
    ASSERT_GE(now, last);
    last = now;
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_GE(clock_seconds() - last, 0.019);
}

}  // namespace
