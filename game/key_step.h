// The key step: take at most one key, end the program on Escape, remember the
// position, and move one cell in one of eight directions. Walls are the
// collision step's business. Escape runs the runtime's exit sequence
// (console_restore). Game thread only.
#pragma once

#include <cstdint>
#include <string>

namespace game {

void key_step(std::string& key, int32_t& x, int32_t& y, int32_t& previous_x, int32_t& previous_y);

}  // namespace game
