// The SDL back ends: the window, its renderer and streaming texture, and the
// translation of SDL's window events into what the tick must do. Everything
// below the start/stop records runs on the window side's thread.
#include "runtime/window/sdl_back_end.h"

#include <SDL.h>

#include <cctype>
#include <cstddef>
#include <cstdlib>
#include <memory>
#include <new>
#include <string>

#include "runtime/input/key_buffer.h"
#include "runtime/screen/screen_lock.h"
#include "runtime/window/sdl_handles.h"
#include "runtime/window/sdl_keyboard.h"
#include "runtime/window/sdl_pads.h"
#include "runtime/window/window.h"
#include "runtime/window/x11_watch.h"

namespace runtime {
namespace {

// What one SDL window side owns, hung on WindowState::platform. Members are
// destroyed in reverse order: texture, renderer, then window.
struct SdlWindowData {
  Uint32 renderer_flags = 0;
  bool video_up = false;            // our SDL_InitSubSystem succeeded
  bool screen_saver_taken = false;  // we switched it off and must put it back
  bool text_input = false;
  bool focused = true;  // the thread counts the window active when it starts
  bool minimized = false;
  SdlWindow window;
  SdlRenderer renderer;
  SdlTexture texture;
};

SdlWindowData* data_of(WindowState& state) { return static_cast<SdlWindowData*>(state.platform); }

bool fail(WindowState& state, const char* reason) {
  state.error = (reason != nullptr && reason[0] != '\0') ? reason : "SDL failed without a reason";
  return false;
}

// The display under the mouse pointer, so the window opens where the user is
// looking; the primary display when SDL cannot tell.
int display_under_pointer() {
  int x = 0;
  int y = 0;
  SDL_GetGlobalMouseState(&x, &y);
  const SDL_Point point = {x, y};
  const int count = SDL_GetNumVideoDisplays();
  for (int index = 0; index < count; ++index) {
    SDL_Rect bounds;
    if (SDL_GetDisplayBounds(index, &bounds) == 0 && SDL_PointInRect(&point, &bounds)) {
      return index;
    }
  }
  return 0;
}

bool make_texture(SdlWindowData& data, const WindowState& state) {
  data.texture.reset(SDL_CreateTexture(data.renderer.get(), SDL_PIXELFORMAT_ARGB8888,
                                       SDL_TEXTUREACCESS_STREAMING, state.width, state.height));
  if (!data.texture) return false;
  SDL_SetTextureBlendMode(data.texture.get(), SDL_BLENDMODE_NONE);
  return true;
}

// Uploads rows first..last of the picture and shows the whole texture,
// letterboxed on black. False when the renderer refused a step.
bool upload_and_present(SdlWindowData& data, const WindowState& state, int32_t first,
                        int32_t last) {
  if (!data.texture) return false;
  const SDL_Rect rows = {0, first, state.width, last - first + 1};
  const uint32_t* source =
      state.pixels.data() + static_cast<size_t>(first) * static_cast<size_t>(state.width);
  if (SDL_UpdateTexture(data.texture.get(), &rows, source,
                        state.width * static_cast<int>(sizeof(uint32_t))) != 0) {
    return false;
  }
  SDL_SetRenderDrawColor(data.renderer.get(), 0, 0, 0, SDL_ALPHA_OPAQUE);
  if (SDL_RenderClear(data.renderer.get()) != 0) return false;
  if (SDL_RenderCopy(data.renderer.get(), data.texture.get(), nullptr, nullptr) != 0) return false;
  SDL_RenderPresent(data.renderer.get());
  return true;
}

// Shows rows first..last (0 <= first <= last < height: the dirty band of the
// page, or all of it); when the renderer lost its texture, makes a new one and
// shows the whole picture again, once, within the same tick. Only ever called
// once the window and its renderer are made, with the picture the window
// side sized for them.
void present_rows(WindowState& state, int32_t first, int32_t last) {
  SdlWindowData& data = *data_of(state);
  if (upload_and_present(data, state, first, last)) return;
  if (make_texture(data, state)) upload_and_present(data, state, 0, state.height - 1);
}

void repaint(WindowState& state) { present_rows(state, 0, state.height - 1); }

void rebuild_texture(WindowState& state) {
  SdlWindowData& data = *data_of(state);
  data.texture.reset();
  if (make_texture(data, state)) repaint(state);
}

void set_focus(WindowState& state, bool focused, bool minimized) {
  SdlWindowData* data = data_of(state);
  const bool was_active = data->focused && !data->minimized;
  data->focused = focused;
  data->minimized = minimized;
  const bool active = focused && !minimized;
  if (active != was_active) window_activation_changed(state, active);
}

void handle_window_event(WindowState& state, const SDL_WindowEvent& event) {
  SdlWindowData* data = data_of(state);
  switch (event.event) {
    case SDL_WINDOWEVENT_CLOSE:
      // The close button only asks; the program decides.
      key_post(KEY_CLOSE);
      break;
    case SDL_WINDOWEVENT_MAXIMIZED:
      // The maximise button means full screen. In full screen there is no
      // such button, so a maximise reported there must not switch back.
      if (state.active && !state.full_screen) {
        SDL_RestoreWindow(data->window.get());
        window_fullscreen_toggle(state);
      }
      break;
    case SDL_WINDOWEVENT_FOCUS_GAINED:
      set_focus(state, true, data->minimized);
      break;
    case SDL_WINDOWEVENT_FOCUS_LOST:
      set_focus(state, false, data->minimized);
      break;
    case SDL_WINDOWEVENT_MINIMIZED:
      set_focus(state, data->focused, true);
      break;
    case SDL_WINDOWEVENT_RESTORED:
      set_focus(state, data->focused, false);
      repaint(state);
      break;
    case SDL_WINDOWEVENT_SIZE_CHANGED:
      // An edge dragged by its last spare pixel, or a size some window
      // manager imposed: outside full screen the inside is the page, 1:1.
      if (!state.full_screen && (event.data1 != state.width || event.data2 != state.height)) {
        SDL_SetWindowSize(data->window.get(), state.width, state.height);
      }
      repaint(state);
      break;
    case SDL_WINDOWEVENT_SHOWN:
    case SDL_WINDOWEVENT_EXPOSED:
    case SDL_WINDOWEVENT_DISPLAY_CHANGED:
      repaint(state);
      break;
    default:
      break;
  }
}

bool handle_events(WindowState& state) {
  SDL_Event event;
  while (SDL_PollEvent(&event) != 0) {
    switch (event.type) {
      case SDL_QUIT:
        key_post(KEY_CLOSE);
        break;
      case SDL_WINDOWEVENT:
        handle_window_event(state, event.window);
        break;
      case SDL_DISPLAYEVENT:
        repaint(state);
        break;
      case SDL_KEYDOWN:
      case SDL_TEXTINPUT:
        // Events are taken in queue order: the keyboard looks at the text a
        // key-down types in the event queued right after it.
        if (sdl_keyboard_handle(event) == KeyEventResult::TOGGLE_FULL_SCREEN) {
          window_fullscreen_toggle(state);
        }
        break;
      case SDL_RENDER_TARGETS_RESET:
      case SDL_RENDER_DEVICE_RESET:
        rebuild_texture(state);
        break;
      case SDL_CONTROLLERDEVICEADDED:
      case SDL_CONTROLLERDEVICEREMOVED:
        sdl_pads_handle(event);
        break;
      default:
        break;
    }
  }
  // Polling the events brought the pads' state up to date.
  sdl_pads_sample(state.active, static_cast<int64_t>(SDL_GetTicks64()));
  return !x11_window_lost();
}

// The window flags SDL's renderer will want: SDL takes down and makes again
// a window that lacks them, a second window for the player and for anyone
// watching the display. Only OpenGL is known to need a flag of its own; when
// the user picks the renderer, the window is still hidden while SDL remakes it.
Uint32 renderer_window_flags(Uint32 renderer_flags) {
  if ((renderer_flags & SDL_RENDERER_SOFTWARE) != 0 || SDL_GetHint(SDL_HINT_RENDER_DRIVER)) {
    return 0;
  }
  const int count = SDL_GetNumRenderDrivers();
  for (int index = 0; index < count; ++index) {
    SDL_RendererInfo info;
    if (SDL_GetRenderDriverInfo(index, &info) != 0) continue;
    if ((info.flags & renderer_flags) != renderer_flags) continue;
    return std::string_view(info.name) == "opengl" ? Uint32{SDL_WINDOW_OPENGL} : 0u;
  }
  return 0;
}

// The largest size window managers may give the window: the whole display
// in full screen (some managers apply it there too), else one pixel more
// than the page.
void limit_size(SdlWindowData& data, const WindowState& state, bool full_screen) {
  constexpr int ANY_DISPLAY = 16384;
  if (full_screen) {
    SDL_SetWindowMaximumSize(data.window.get(), ANY_DISPLAY, ANY_DISPLAY);
  } else {
    SDL_SetWindowMaximumSize(data.window.get(), state.width + 1, state.height + 1);
  }
}

// Made hidden and shown once everything is set, so that exactly one window
// appears. Resizable only so that window managers offer the maximise button,
// which switches to full screen; the largest size one pixel more than the
// smallest leaves an edge nothing to drag, and handle_window_event puts even
// that pixel back.
bool create_window(WindowState& state, SdlWindowData& data) {
  const int display = display_under_pointer();
  const Uint32 window_flags = SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE |
                              (state.full_screen ? Uint32{SDL_WINDOW_FULLSCREEN_DESKTOP} : 0u);
  const Uint32 for_renderer = renderer_window_flags(data.renderer_flags);
  const auto make = [&](Uint32 flags) {
    data.window.reset(SDL_CreateWindow(state.title.c_str(), SDL_WINDOWPOS_CENTERED_DISPLAY(display),
                                       SDL_WINDOWPOS_CENTERED_DISPLAY(display), state.width,
                                       state.height, flags));
  };
  make(window_flags | for_renderer);
  // Without OpenGL SDL picks another renderer, which needs no such window
  // (without a flag to drop, the second try fails as the first did).
  if (!data.window) make(window_flags);
  if (!data.window) return fail(state, SDL_GetError());
  SDL_SetWindowMinimumSize(data.window.get(), state.width, state.height);
  limit_size(data, state, state.full_screen);
  return true;
}

bool create_renderer(WindowState& state, SdlWindowData& data) {
  // The 10 ms tick is the pace; waiting for the retrace would hold the
  // screen lock across a frame.
  SDL_SetHint(SDL_HINT_RENDER_VSYNC, "0");
  SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
  data.renderer.reset(SDL_CreateRenderer(data.window.get(), -1, data.renderer_flags));
  if (!data.renderer) return fail(state, SDL_GetError());
  // Whole-step scaling keeps pixels square and crisp in full screen; the rest
  // of the display stays black.
  if (SDL_RenderSetLogicalSize(data.renderer.get(), state.width, state.height) != 0 ||
      SDL_RenderSetIntegerScale(data.renderer.get(), SDL_TRUE) != 0) {
    return fail(state, SDL_GetError());
  }
  if (!make_texture(data, state)) return fail(state, SDL_GetError());
  return true;
}

// Shows the finished window in front and with the focus, already holding the
// picture the window side has (black at start, until the first tick).
void show_window(WindowState& state, SdlWindowData& data) {
  repaint(state);
  SDL_ShowWindow(data.window.get());
  SDL_RaiseWindow(data.window.get());
  x11_watch_window(data.window.get());
  int top = 0;
  int left = 0;
  int bottom = 0;
  int right = 0;
  if (SDL_GetWindowBordersSize(data.window.get(), &top, &left, &bottom, &right) != 0) {
    top = left = bottom = right = 0;  // the platform cannot tell; count no frame
  }
  state.outer_width = state.width + left + right;
  state.outer_height = state.height + top + bottom;
}

bool create(WindowState& state, Uint32 renderer_flags) {
  auto* data = new (std::nothrow) SdlWindowData;
  if (data == nullptr) return fail(state, "out of memory");
  data->renderer_flags = renderer_flags;
  state.platform = data;

  // The close button only posts a key, and Ctrl+C in the terminal must still
  // end the program. The screen saver is ours to save and restore.
  SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
  // The software renderer draws into the window's own memory; left to
  // itself SDL would back that memory with an OpenGL texture.
  if ((renderer_flags & SDL_RENDERER_SOFTWARE) != 0) {
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  } else {
    SDL_ResetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION);
  }
  x11_watch_install();
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return fail(state, SDL_GetError());
  data->video_up = true;

  // With no display SDL quietly settles for its offscreen driver, which
  // shows nothing: a window nobody can see is a failure, unless it was asked
  // for. (SDL takes its dummy driver only when asked for it by name.)
  const char* driver = SDL_GetCurrentVideoDriver();
  const std::string_view name = driver != nullptr ? driver : "";
  if (name == "offscreen" && !sdl_driver_requested(SDL_GetHint(SDL_HINT_VIDEODRIVER), name)) {
    return fail(state, "no display (SDL chose the offscreen driver)");
  }

  state.saved_screen_saver = SDL_IsScreenSaverEnabled() == SDL_TRUE;
  SDL_DisableScreenSaver();
  data->screen_saver_taken = true;

  if (!create_window(state, *data) || !create_renderer(state, *data)) return false;
  show_window(state, *data);
  SDL_StartTextInput();
  data->text_input = true;
  sdl_pads_open();
  return true;
}

bool create_software(WindowState& state) { return create(state, SDL_RENDERER_SOFTWARE); }
// No renderer flags: SDL takes its first renderer that works, the
// accelerated ones before its software one.
bool create_scaled(WindowState& state) { return create(state, 0); }

void destroy(WindowState& state) {
  std::unique_ptr<SdlWindowData> data(data_of(state));
  state.platform = nullptr;
  // A window taken down while the window side runs is being remade; the
  // pads go only with the window side.
  if (!state.running.load(std::memory_order_acquire)) sdl_pads_close();
  if (!data) return;
  if (data->text_input) SDL_StopTextInput();
  x11_watch_window(nullptr);
  data->texture.reset();
  data->renderer.reset();
  if (data->window) {
    // Leave the desktop's mode as it was before the window goes.
    if ((SDL_GetWindowFlags(data->window.get()) & SDL_WINDOW_FULLSCREEN) != 0) {
      SDL_SetWindowFullscreen(data->window.get(), 0);
    }
    data->window.reset();
  }
  if (data->screen_saver_taken) {
    if (state.saved_screen_saver) {
      SDL_EnableScreenSaver();
    } else {
      SDL_DisableScreenSaver();
    }
  }
  if (data->video_up) {
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    // When nothing else of SDL is up, let it free what it keeps for the
    // process (hints, event queue), so that each screen starts afresh.
    if (SDL_WasInit(SDL_INIT_EVERYTHING) == 0) SDL_Quit();
  }
  // SDL keeps per-thread data (its error text) for threads it did not start
  // and frees it only in SDL_Quit; this thread ends here, whoever else still
  // uses SDL, so its share must go now.
  SDL_TLSCleanup();
}

bool set_full_screen(WindowState& state, bool on) {
  SdlWindowData* data = data_of(state);
  if (data == nullptr || !data->window) return false;
  if (on) limit_size(*data, state, true);
  if (SDL_SetWindowFullscreen(data->window.get(),
                              on ? Uint32{SDL_WINDOW_FULLSCREEN_DESKTOP} : 0u) != 0) {
    limit_size(*data, state, state.full_screen);
    return false;
  }
  // Not every video driver gives the window its old size back when it
  // leaves full screen, and the inside must be the page again, 1:1.
  if (!on) {
    limit_size(*data, state, false);
    SDL_SetWindowSize(data->window.get(), state.width, state.height);
  }
  repaint(state);
  return true;
}

bool same_name(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

}  // namespace

const DisplayBackEnd SDL_SOFTWARE_BACK_END = {
    "sdl-software",  SDL_REFUSED_FLAGS | WINDOW_FULL_SCREEN,
    create_software, destroy,
    present_rows,    handle_events,
    set_full_screen};

const DisplayBackEnd SDL_SCALED_BACK_END = {"sdl-scaled",   SDL_REFUSED_FLAGS, create_scaled,
                                            destroy,        present_rows,      handle_events,
                                            set_full_screen};

bool sdl_driver_requested(const char* requested, std::string_view driver) {
  if (requested == nullptr || driver.empty()) return false;
  const std::string_view list = requested;
  size_t start = 0;
  while (start <= list.size()) {
    size_t end = list.find(',', start);
    if (end == std::string_view::npos) end = list.size();
    std::string_view item = list.substr(start, end - start);
    while (!item.empty() && std::isspace(static_cast<unsigned char>(item.front()))) {
      item.remove_prefix(1);
    }
    while (!item.empty() && std::isspace(static_cast<unsigned char>(item.back()))) {
      item.remove_suffix(1);
    }
    if (same_name(item, driver)) return true;
    start = end + 1;
  }
  return false;
}

SDL_Window* sdl_back_end_window() {
  auto* data = static_cast<SdlWindowData*>(window_state().platform);
  return data != nullptr ? data->window.get() : nullptr;
}

}  // namespace runtime
