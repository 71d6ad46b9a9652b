#include "game/settings.h"

namespace game {

const GameSettings TILEWALK_SETTINGS = {
    "tilewalk",
    {"datapack/graphics/brick03.mem", "datapack/graphics/flame01.mem",
     "datapack/graphics/flame02.mem", "datapack/graphics/skull01.mem",
     "datapack/graphics/morvek1.mem", "datapack/maps/map002.mem"},
    true,
};

const GameSettings FLAT_SETTINGS = {
    "tilewalk-flat",
    {"brick03.mem", "flame01.mem", "flame02.mem", "skull01.mem", "morvek1.mem", "map002.mem"},
    false,
};

}  // namespace game
