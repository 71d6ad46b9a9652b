// What makes tilewalk and tilewalk-flat different programs: where the six
// asset files lie and whether the position readout is drawn. Both records
// live in settings.cpp, so the datapack tool can look where either program
// looks; each program links one unit (settings_tilewalk.cpp or
// settings_flat.cpp) that names its own. Constant data: any thread.
#pragma once

#include <array>
#include <cstdint>

namespace game {

struct GameSettings {
  const char* program_name;
  // brick, flame frame 0, flame frame 1, skull, player figure, map
  std::array<const char*, 6> asset_paths;
  bool show_readout;  // position readout and the box around the player's cell
};

struct AssetSize {
  int32_t width;
  int32_t height;
};

// A picture is one tile; the map is a picture of one pixel per cell, its
// colour the cell's tile code.
constexpr int32_t TILE_SIZE = 16;
constexpr int32_t MAP_WIDTH = 64;
constexpr int32_t MAP_HEIGHT = 32;

// In load order, matching asset_paths; the map comes last so its pixels stay
// on the work page.
constexpr std::array<AssetSize, 6> ASSET_SIZES = {{{TILE_SIZE, TILE_SIZE},
                                                   {TILE_SIZE, TILE_SIZE},
                                                   {TILE_SIZE, TILE_SIZE},
                                                   {TILE_SIZE, TILE_SIZE},
                                                   {TILE_SIZE, TILE_SIZE},
                                                   {MAP_WIDTH, MAP_HEIGHT}}};

extern const GameSettings TILEWALK_SETTINGS;
extern const GameSettings FLAT_SETTINGS;

// The running program's own: one of the two above.
extern const GameSettings& PROGRAM_SETTINGS;

}  // namespace game
