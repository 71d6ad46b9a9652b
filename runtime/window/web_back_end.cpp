// The browser back end's C++ half: the record, the conversion of presented
// rows to the canvas's RGBA order, the events the page queued, and the host
// that runs the window side's steps on the page's event loop. The page's
// half (canvas, listeners) is web_back_end.js, built into the page.
#include "runtime/window/web_back_end.h"

#include <emscripten.h>
#include <emscripten/threading.h>

#include <array>
#include <chrono>
#include <cstddef>
#include <vector>

#include "runtime/window/web_keyboard.h"
#include "runtime/window/web_pads.h"

namespace {

// Written by the game's thread before it hands the steps to the page.
bool (*hosted_step)() = nullptr;

}  // namespace

// Called by the page's timer; exported so the page can reach it.
extern "C" EMSCRIPTEN_KEEPALIVE int tilewalk_window_step() { return hosted_step() ? 1 : 0; }

namespace runtime {
namespace {

// What the page's takeEvent returns in its low four bits, and the modifier
// flags above them.
constexpr int32_t EVENT_NONE = 0;
constexpr int32_t EVENT_KEY_DOWN = 1;
constexpr int32_t EVENT_FOCUS = 2;
constexpr int32_t EVENT_KIND_BITS = 4;
constexpr int32_t EVENT_KIND_MASK = (1 << EVENT_KIND_BITS) - 1;
constexpr int32_t FLAG_SHIFT = 1;
constexpr int32_t FLAG_CTRL = 2;
constexpr int32_t FLAG_ALT = 4;
constexpr int32_t FLAG_ALT_GRAPH = 8;
constexpr int32_t FLAG_NUM_LOCK = 16;
constexpr int32_t FLAG_REPEAT = 32;

// Longer names than any key's are cut; they name no key of the tables.
constexpr size_t NAME_SIZE = 32;

// Page's main thread only: the presented rows in the canvas's byte order.
std::vector<uint32_t> rgba;

// False when the browser refuses at once. It may still refuse later, and the
// player may switch with the browser's own keys: see handle_events.
bool set_full_screen(WindowState&, bool on) {
  return EM_ASM_INT({ return Module.pageWindow.setFullScreen($0); }, on) != 0;
}

bool create(WindowState& state) {
  if (EM_ASM_INT({ return Module.pageWindow.create($0, $1); }, state.width, state.height) == 0) {
    state.error = "the page has no <canvas id=\"screen\"> to draw on";
    return false;
  }
  if (state.full_screen && !set_full_screen(state, true)) {
    state.error = "the browser offers no full screen here";
    return false;
  }
  return true;
}

void destroy(WindowState&) {
  EM_ASM({ Module.pageWindow.destroy(); });
}

void show_rows(WindowState& state, int32_t first, int32_t last) {
  const size_t width = static_cast<size_t>(state.width);
  const size_t begin = static_cast<size_t>(first) * width;
  const size_t end = static_cast<size_t>(last + 1) * width;
  rgba.resize(end - begin);
  // ARGB as a number is B, G, R, A in memory; the canvas wants R, G, B, A.
  for (size_t i = 0; i < rgba.size(); ++i) {
    const uint32_t argb = state.pixels[begin + i];
    rgba[i] = (argb & 0xFF00FF00u) | (argb >> 16 & 0xFFu) | (argb & 0xFFu) << 16;
  }
  EM_ASM({ Module.pageWindow.showRows($0, $1, $2, $3); }, rgba.data(), state.width, first,
         last - first + 1);
}

// The page's keyboard and focus events, then its pads. The page keeps its
// canvas: the window is never lost.
bool handle_events(WindowState& state) {
  std::array<char, NAME_SIZE> code{};
  std::array<char, NAME_SIZE> key{};
  for (;;) {
    const int32_t event = EM_ASM_INT({ return Module.pageWindow.takeEvent($0, $1, $2, $3); },
                                     code.data(), code.size(), key.data(), key.size());
    const int32_t kind = event & EVENT_KIND_MASK;
    const int32_t flags = event >> EVENT_KIND_BITS;
    if (kind == EVENT_NONE) break;
    if (kind != EVENT_KEY_DOWN) {
      window_activation_changed(state, kind == EVENT_FOCUS);
      continue;
    }
    WebKeyDown press;
    press.code = code.data();
    press.key = key.data();
    press.shift = (flags & FLAG_SHIFT) != 0;
    press.ctrl = (flags & FLAG_CTRL) != 0;
    press.alt = (flags & FLAG_ALT) != 0;
    press.alt_graph = (flags & FLAG_ALT_GRAPH) != 0;
    press.num_lock = (flags & FLAG_NUM_LOCK) != 0;
    press.repeat = (flags & FLAG_REPEAT) != 0;
    if (web_keyboard_handle(press)) {
      // The switch goes from what the browser shows as the key is handled,
      // not from the last request: the browser may have refused it, or the
      // player left full screen by the browser's own means a moment ago,
      // its change event not yet delivered.
      state.full_screen = EM_ASM_INT({ return Module.pageWindow.isFullScreen(); }) != 0;
      window_fullscreen_toggle(state);
    }
  }
  const auto now = std::chrono::steady_clock::now().time_since_epoch();
  web_pads_sample(state.active, std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
  return true;
}

// Page's main thread: the first step now, then one every 10 ms until the
// window side is over.
void run_steps() {
  EM_ASM({
    if (!_tilewalk_window_step()) return;
    const timer = setInterval(
        function() {
          if (!_tilewalk_window_step()) clearInterval(timer);
        },
        10);
  });
}

void host(bool (*step)()) {
  hosted_step = step;
  emscripten_async_run_in_main_runtime_thread(EM_FUNC_SIG_V, run_steps);
}

}  // namespace

const DisplayBackEnd WEB_BACK_END = {"web-canvas",    WINDOW_OPENGL | WINDOW_SHAPED,
                                     create,          destroy,
                                     show_rows,       handle_events,
                                     set_full_screen, host};

}  // namespace runtime
