#include "game/settings.h"

namespace game {

const GameSettings& PROGRAM_SETTINGS = TILEWALK_SETTINGS;

}  // namespace game
