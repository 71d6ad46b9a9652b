// Xlib error handlers for a process whose X work runs on the window thread,
// and the watch on the window side's X window.
#include "runtime/window/x11_watch.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <pthread.h>

#include <atomic>
#include <csignal>
#include <cstdlib>
#include <string>

#include "runtime/window/window.h"

namespace runtime {

#ifdef SDL_VIDEO_DRIVER_X11

namespace {

// Set by the error handler, which Xlib runs on the thread that read the
// error: the window thread, the only one that talks to the X server.
std::atomic<bool> error_seen{false};
Display* watched_display = nullptr;
Window watched_window = 0;

// Errors are asynchronous and most name a window that another client has
// just destroyed; x11_window_lost asks the server whether ours is one.
// Whatever else went wrong, the window thread carries on.
int on_error(Display* /*display*/, XErrorEvent* /*error*/) {
  error_seen.store(true);
  return 0;
}

// Xlib must not carry on with a dead connection, and the game's thread
// cannot be told. Ending here leaves nothing undone: while a screen is open
// the program writes no file and leaves the console alone.
int on_io_error(Display* display) {
  const char* name = display != nullptr ? DisplayString(display) : nullptr;
  window_lost(std::string("the connection to the X server ") + (name != nullptr ? name : "") +
              " broke");
}

}  // namespace

void x11_watch_install() {
  // Probing Wayland without a Wayland display makes libwayland print to the
  // terminal; unless the user chose a driver, try it only when one is there.
  if (SDL_GetHint(SDL_HINT_VIDEODRIVER) == nullptr && std::getenv("WAYLAND_DISPLAY") == nullptr) {
    SDL_SetHint(SDL_HINT_VIDEODRIVER, "x11");
  }
  sigset_t pipe_signal;
  sigemptyset(&pipe_signal);
  sigaddset(&pipe_signal, SIGPIPE);
  pthread_sigmask(SIG_BLOCK, &pipe_signal, nullptr);
  // Before SDL opens its display: SDL chains its own handler to the one it
  // finds and puts that one back when it closes the display.
  static const bool installed = [] {
    XSetErrorHandler(on_error);
    XSetIOErrorHandler(on_io_error);
    return true;
  }();
  static_cast<void>(installed);
}

void x11_watch_window(SDL_Window* window) {
  watched_display = nullptr;
  watched_window = 0;
  error_seen.store(false);
  if (window == nullptr) return;
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (SDL_GetWindowWMInfo(window, &info) != SDL_TRUE || info.subsystem != SDL_SYSWM_X11) return;
  watched_display = info.info.x11.display;
  watched_window = info.info.x11.window;
}

bool x11_window_lost() {
  if (!error_seen.load() || watched_display == nullptr) return false;
  XWindowAttributes attributes;
  const bool gone = XGetWindowAttributes(watched_display, watched_window, &attributes) == 0;
  error_seen.store(false);  // including the error this question raised
  return gone;
}

#else

void x11_watch_install() {}
void x11_watch_window(SDL_Window* /*window*/) {}
bool x11_window_lost() { return false; }

#endif

}  // namespace runtime
