#include "game/key_step.h"

#include <array>

#include "runtime/input/key_poll.h"
#include "runtime/input/strings.h"
#include "runtime/text/program_end.h"

namespace game {

using namespace runtime;

namespace {

struct Movement {
  const char* keys;
  int32_t dx;
  int32_t dy;
};

// As on a numeric keypad; 1, 3, 7 and 9 are in two strings and move diagonally.
constexpr std::array<Movement, 4> MOVEMENTS = {{
    {"123", 0, 1},
    {"789", 0, -1},
    {"369", 1, 0},
    {"147", -1, 0},
}};

constexpr char ESCAPE[] = "\x1b";

}  // namespace

void key_step(std::string& key, int32_t& x, int32_t& y, int32_t& previous_x, int32_t& previous_y) {
  key = key_poll();
  if (string_length(key) == 0) key = string_spaces(1);
  if (string_compare(key, ESCAPE) == 0) console_restore();
  previous_x = x;
  previous_y = y;
  for (const Movement& movement : MOVEMENTS) {
    if (string_find(1, movement.keys, key) > 0) {
      x += movement.dx;
      y += movement.dy;
    }
  }
}

}  // namespace game
