// What makes tilewalk and tilewalk-flat different programs: where the six
// asset files lie and whether the position readout is drawn. Each program
// links exactly one settings unit (settings_tilewalk.cpp or settings_flat.cpp).
#pragma once

#include <array>

namespace game {

struct GameSettings {
  const char* program_name;
  // brick, flame frame 0, flame frame 1, skull, player figure, map
  std::array<const char*, 6> asset_paths;
  bool show_readout;  // position readout and the box around the player's cell
};

extern const GameSettings PROGRAM_SETTINGS;

}  // namespace game
