// The two SDL back ends: one with SDL's accelerated renderer, one with its
// software renderer. Both stream the presented ARGB picture through one
// texture, scaled by whole steps and letterboxed in full screen; they differ
// only in the renderer they ask for. Every SDL call happens on the window
// thread.
#pragma once

#include <string_view>

#include "runtime/window/window.h"

struct SDL_Window;

namespace runtime {

extern const DisplayBackEnd SDL_ACCELERATED_BACK_END;  // "sdl-accelerated"
extern const DisplayBackEnd SDL_SOFTWARE_BACK_END;     // "sdl-software"

// Flags an SDL back end refuses: OpenGL output and a shaped window.
constexpr int32_t SDL_REFUSED_FLAGS = WINDOW_OPENGL | WINDOW_SHAPED;

// Whether `driver` is one of the comma-separated names in `requested` (the
// SDL_VIDEODRIVER setting, may be null), ignoring case and spaces.
bool sdl_driver_requested(const char* requested, std::string_view driver);

// The open SDL window, or null. For tests: read it only while holding the
// screen lock, so no tick is using it.
SDL_Window* sdl_back_end_window();

}  // namespace runtime
