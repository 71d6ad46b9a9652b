// The browser back end: the page's <canvas id="screen"> is the window and
// the page's keyboard events are its keys.
//
// In a browser only the page's main thread may touch the page or hear its
// events, so that thread is the window side: the game runs on a thread of its
// own (the program's main is started on a worker), and this back end hosts
// the window side's steps on the page's event loop, every 10 ms, instead of a
// window thread. create, destroy and the tick's operations therefore all run
// on the page's main thread; host runs on the game's thread.
#pragma once

#include "runtime/window/window.h"

namespace runtime {

extern const DisplayBackEnd WEB_BACK_END;  // "web-canvas"

}  // namespace runtime
