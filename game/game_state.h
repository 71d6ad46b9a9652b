// The game state: one plain record owned by the game for the whole run.
// Nothing in it is ever freed. Game thread only.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "game/settings.h"
#include "runtime/input/clock.h"
#include "runtime/screen/image_buffer.h"

namespace game {

constexpr int32_t DISPLAY_PAGE = 0;
constexpr int32_t WORK_PAGE = 1;
constexpr int32_t MAP_PAGE = 2;

enum AssetSlot { BRICK = 0, FLAME_0 = 1, FLAME_1 = 2, SKULL = 3, PLAYER = 4, MAP = 5 };
using AssetSet = std::array<runtime::ImageBuffer*, 6>;

struct PlayerPosition {
  int32_t x = 2;
  int32_t y = 2;
  int32_t previous_x = 0;
  int32_t previous_y = 0;
};

using TileCode = int32_t;
// Indexed [column][row]; only columns 1..15 and rows 1..7 are used.
using ViewGrid = std::array<std::array<TileCode, 8>, 16>;
// Indexed 1..5; element 0 is unused.
using BlockFlags = std::array<int32_t, 6>;

struct GameState {
  const GameSettings* settings = nullptr;
  AssetSet assets{};
  PlayerPosition position;
  int32_t animation_phase = 0;
  double animation_stamp = 0.0;                // clock reading at the last phase change
  double (*clock)() = runtime::clock_seconds;  // a test may substitute its own
  std::string key;
  ViewGrid view{};
  BlockFlags block_flags{};
};

}  // namespace game
