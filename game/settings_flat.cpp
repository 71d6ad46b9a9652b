#include "game/settings.h"

namespace game {

const GameSettings PROGRAM_SETTINGS = {
    "tilewalk-flat",
    {"brick03.mem", "flame01.mem", "flame02.mem", "skull01.mem", "morvek1.mem", "map002.mem"},
    false,
};

}  // namespace game
