// Clearing the text area: the work page (or the rows under the text
// viewport) while a screen is open, the console otherwise. Game's thread only.
#pragma once

#include <cstdint>

namespace runtime {

// Clears the work page (or the rows under the text viewport) to the
// background colour and puts the cursor at the viewport's top-left; with no
// screen open, clears the console. Mode ARG_OMITTED is the game's.
void screen_clear(int32_t mode);

}  // namespace runtime
