// The two SDL back ends. Both stream the presented ARGB picture through one
// texture, scaled by whole steps and letterboxed in full screen; they differ
// in the renderer they ask for and so in the forms they take.
//
// "sdl-software" shows the window at 1:1 with SDL's software renderer in the
// window's own memory. It comes first: at 1:1 there is nothing to
// accelerate, and an OpenGL renderer costs most of the start-up (about 70 ms
// of loading and setting up before the first frame, even where OpenGL is
// drawn in software). It refuses full screen, where scaling on the processor
// would take a core at high resolutions.
// "sdl-scaled" takes SDL's first renderer that works, accelerated ones
// before the software one: full screen, and the window wherever the
// software back end cannot start.
//
// Every SDL call happens on the window thread.
#pragma once

#include <string_view>

#include "runtime/window/window.h"

struct SDL_Window;

namespace runtime {

extern const DisplayBackEnd SDL_SOFTWARE_BACK_END;  // "sdl-software"
extern const DisplayBackEnd SDL_SCALED_BACK_END;    // "sdl-scaled"

// Flags an SDL back end refuses: OpenGL output and a shaped window.
constexpr int32_t SDL_REFUSED_FLAGS = WINDOW_OPENGL | WINDOW_SHAPED;

// Whether `driver` is one of the comma-separated names in `requested` (the
// SDL_VIDEODRIVER setting, may be null), ignoring case and spaces.
bool sdl_driver_requested(const char* requested, std::string_view driver);

// The open SDL window, or null. For tests: read it only while holding the
// screen lock, so no tick is using it.
SDL_Window* sdl_back_end_window();

}  // namespace runtime
