// The six files of a datapack as the datapack tool sees them: where either
// program looks for them, their sizes and what each one is. The paths and
// sizes are the game's own (game/settings.h). Constant data: any thread.
#pragma once

#include <array>
#include <cstddef>
#include <string>

#include "game/game_state.h"

namespace pack {

constexpr size_t ASSET_COUNT = 6;

// What each file is, in the game's load order, for messages.
constexpr std::array<const char*, ASSET_COUNT> ASSET_ROLES = {
    "brick", "flame frame 0", "flame frame 1", "skull", "player figure", "map"};

// The settings of tilewalk, or of tilewalk-flat when `flat`.
const game::GameSettings& program_settings(bool flat);

// Where that program started in `dir` reads the file of `slot`.
std::string asset_path(const std::string& dir, bool flat, size_t slot);

// The slot whose file has the bare name that `path` ends in, or ASSET_COUNT
// when it is none of the six.
size_t asset_slot_of(const std::string& path);

}  // namespace pack
