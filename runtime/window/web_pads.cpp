// The page's pads as PadSamples: web_pads.js writes what the browser shows
// into an array of floats, one record per pad slot.
#include "runtime/window/web_pads.h"

#include <emscripten.h>

#include <array>
#include <cstddef>

#include "runtime/input/key_buffer.h"
#include "runtime/input/pad_keys.h"

namespace runtime {
namespace {

// The Gamepad API's slots looked at (browsers keep a pad in its slot while it
// stays plugged in), and the fields web_pads.js writes for each, in order.
constexpr size_t PAD_SLOTS = 8;
enum Field : size_t { PRESENT, UP, DOWN, LEFT, RIGHT, BACK, START, STICK_X, STICK_Y, FIELDS };

// Page's main thread only.
std::array<float, PAD_SLOTS * FIELDS> sampled{};
std::array<PadTrack, PAD_SLOTS> tracks{};

}  // namespace

void web_pads_sample(bool active, int64_t now_ms) {
  EM_ASM({ Module.pagePads.sample($0, $1, $2); }, sampled.data(), static_cast<int>(PAD_SLOTS),
         static_cast<int>(FIELDS));
  for (size_t slot = 0; slot < PAD_SLOTS; ++slot) {
    const float* field = sampled.data() + slot * FIELDS;
    if (!active || field[PRESENT] == 0) {
      tracks[slot] = PadTrack{};
      continue;
    }
    PadSample sample;
    sample.up = field[UP] != 0;
    sample.down = field[DOWN] != 0;
    sample.left = field[LEFT] != 0;
    sample.right = field[RIGHT] != 0;
    sample.stick_x = field[STICK_X];
    sample.stick_y = field[STICK_Y];
    sample.back = field[BACK] != 0;
    sample.start = field[START] != 0;
    const PadKeys keys = pad_keys(tracks[slot], sample, now_ms);
    for (int32_t i = 0; i < keys.count; ++i) key_post(keys.codes[static_cast<size_t>(i)]);
  }
}

}  // namespace runtime
