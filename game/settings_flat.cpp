#include "game/settings.h"

namespace game {

const GameSettings& PROGRAM_SETTINGS = FLAT_SETTINGS;

}  // namespace game
