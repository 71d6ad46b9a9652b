// What the SDL back ends need from Xlib itself: error handlers that fit a
// program with a window thread, and a watch on the one X window the window
// side owns. Xlib's own handlers print and call exit() from whichever thread
// met the error; here that is the window thread, while the window thread's
// std::thread is still joinable, so the process would abort. With these
// handlers a window destroyed by another client is reported to the tick,
// which makes a new one, and a lost connection to the X server ends the
// process with one line on standard error and exit code 1.
//
// Window thread only. Does nothing where SDL does not use X11.
#pragma once

struct SDL_Window;

namespace runtime {

// Installs the process's X error handlers, once; call before SDL opens its
// display. Also keeps SIGPIPE from this thread, so that a write to a closed
// X connection is reported as an error rather than killing the process, and
// asks SDL for X11 unless the user chose a driver or a Wayland display is
// there.
void x11_watch_install();

// Watches `window`'s X window (null: watch nothing). Call after the window is
// made and before it is destroyed.
void x11_watch_window(SDL_Window* window);

// True when the watched window no longer exists: an X error came in since
// the last call and the window is gone.
bool x11_window_lost();

}  // namespace runtime
