// Where the player can get to on a map, by the game's own collision rule: the
// map lies at the top-left of a 320 x 200 page whose other cells are floor,
// and only cells off the page stop a step by being off it. A step goes to any
// of the eight neighbours and is judged by its destination alone. Pure: any
// thread.
#pragma once

#include <cstdint>
#include <vector>

namespace pack {

struct Cell {
  int32_t x = 0;
  int32_t y = 0;
};

struct Reach {
  bool start_blocks = false;  // the player starts on a cell that blocks
  bool boxed_in = false;      // no step from the start cell is allowed
  bool leaks = false;         // the player can leave the map picture
  Cell leak_from;             // then: the last cell inside the map, nearest the start
  Cell leak_to;               // and the first one outside it
  int64_t reached = 0;        // cells of the page the player can stand on
};

// `map` holds width x height codes as the map page keeps them (one byte each),
// row by row; the player starts at `start`.
Reach reach_from(const std::vector<uint8_t>& map, int32_t width, int32_t height, Cell start);

}  // namespace pack
