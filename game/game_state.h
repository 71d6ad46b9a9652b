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

// The screen the game opens: 320 x 200, 16 colours, eight pages.
constexpr int32_t SCREEN_WIDTH = 320;
constexpr int32_t SCREEN_HEIGHT = 200;
constexpr int32_t SCREEN_DEPTH = 4;
constexpr int32_t SCREEN_PAGES = 8;

constexpr int32_t DISPLAY_PAGE = 0;
constexpr int32_t WORK_PAGE = 1;
constexpr int32_t MAP_PAGE = 2;

// Colours of the default palette the game draws with.
constexpr uint32_t BLACK = 0;
constexpr uint32_t WHITE = 15;

// The view: 15 x 7 cells of TILE_SIZE pixels from the top-left of the screen,
// the player in the cell at column 8, row 4 (counted from 1).
constexpr int32_t VIEW_COLUMNS = 15;
constexpr int32_t VIEW_ROWS = 7;
constexpr int32_t PLAYER_COLUMN = 8;
constexpr int32_t PLAYER_ROW = 4;
constexpr int32_t VIEW_WIDTH = VIEW_COLUMNS * TILE_SIZE;
constexpr int32_t VIEW_HEIGHT = VIEW_ROWS * TILE_SIZE;
// The top-left pixel of the player's cell.
constexpr int32_t PLAYER_CELL_X = (PLAYER_COLUMN - 1) * TILE_SIZE;
constexpr int32_t PLAYER_CELL_Y = (PLAYER_ROW - 1) * TILE_SIZE;

enum AssetSlot { BRICK = 0, FLAME_0 = 1, FLAME_1 = 2, SKULL = 3, PLAYER = 4, MAP = 5 };
using AssetSet = std::array<runtime::ImageBuffer*, 6>;

// Where the player starts, in map cells.
constexpr int32_t START_X = 2;
constexpr int32_t START_Y = 2;

struct PlayerPosition {
  int32_t x = START_X;
  int32_t y = START_Y;
  int32_t previous_x = 0;
  int32_t previous_y = 0;
};

using TileCode = int32_t;
// Tile codes the view draws and the collision rule tests; 3 is the flame
// that can be walked through, 5 and up are outlined cells.
constexpr TileCode TILE_OFF_PAGE = -1;
constexpr TileCode TILE_FLOOR = 0;
constexpr TileCode TILE_BRICK = 1;
constexpr TileCode TILE_FLAME = 2;
constexpr TileCode TILE_OPEN_FLAME = 3;
constexpr TileCode TILE_SKULL = 4;
constexpr TileCode TILE_OUTLINED = 5;
// Indexed [column][row], both counted from 1; element 0 of each is unused.
using ViewGrid = std::array<std::array<TileCode, VIEW_ROWS + 1>, VIEW_COLUMNS + 1>;
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
