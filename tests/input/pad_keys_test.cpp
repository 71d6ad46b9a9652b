// The pad mapping against the samples of pads.txt: steps, diagonals, the
// settling wait, delay and repeat, the stick's dead zone and sectors, Escape.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "runtime/input/pad_keys.h"

namespace {

using namespace runtime;

TEST(Pads, SamplesPostWhatTheTableSays) {
  std::ifstream table("tests/input/pads.txt");
  PadTrack track;
  int samples = 0;
  for (std::string text; std::getline(table, text);) {
    if (text.empty() || text[0] == '#') continue;
    if (text == "pad") track = PadTrack{};
    if (text == "pad") continue;
    SCOPED_TRACE(text);
    std::istringstream line(text);
    std::string time, dpad, x, y, buttons, colon, token, want, got;
    line >> time >> dpad >> x >> y >> buttons >> colon;
    while (line >> token) {
      const size_t star = token.find('*');
      if (token != "-")
        want.append(star == std::string::npos ? 1 : std::stoul(token.substr(star + 1)), token[0]);
    }
    const size_t dots = time.find("..");
    const int64_t first = std::stoll(time);
    const int64_t last = dots == std::string::npos ? first : std::stoll(time.substr(dots + 2));
    const auto has = [](const std::string& held, char c) {
      return held.find(c) != std::string::npos;
    };
    const PadSample sample = {has(dpad, 'u'), has(dpad, 'd'), has(dpad, 'l'),    has(dpad, 'r'),
                              std::stof(x),   std::stof(y),   has(buttons, 'b'), has(buttons, 's')};
    for (int64_t step = 0; step <= (last - first) / 10; ++step, ++samples) {
      const PadKeys keys = pad_keys(track, sample, first + step * 10);
      for (int32_t i = 0; i < keys.count; ++i) {
        got += keys.codes[i] == 27 ? 'e' : static_cast<char>(keys.codes[i]);
      }
    }
    EXPECT_EQ(got, want);
  }
  EXPECT_GT(samples, 200);
}

}  // namespace
