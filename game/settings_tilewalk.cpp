#include "game/settings.h"

namespace game {

const GameSettings PROGRAM_SETTINGS = {
    "tilewalk",
    {"datapack/graphics/brick03.mem", "datapack/graphics/flame01.mem",
     "datapack/graphics/flame02.mem", "datapack/graphics/skull01.mem",
     "datapack/graphics/morvek1.mem", "datapack/maps/map002.mem"},
    true,
};

}  // namespace game
