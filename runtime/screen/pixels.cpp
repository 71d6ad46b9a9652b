// Single-pixel plot and read. The loader plots every picture through
// pixel_set and the game samples its map through pixel_get, one lock round
// trip per call; the clip test comes first so off-target points never lock.
#include "runtime/screen/pixels.h"

#include <cstring>

#include "runtime/screen/coordinates.h"
#include "runtime/screen/draw_state.h"
#include "runtime/screen/paged_screen.h"
#include "runtime/screen/screen_lock.h"

namespace runtime {
namespace {

bool inside_clip(const DrawState& state, const PixelPoint& p) {
  const ClipRect& c = state.clip;
  return p.x >= c.x && p.x < int64_t{c.x} + c.width && p.y >= c.y && p.y < int64_t{c.y} + c.height;
}

uint8_t* pixel_address(const DrawState& state, const PixelPoint& p) {
  return state.rows[static_cast<size_t>(p.y)] + p.x * state.bytes_per_pixel;
}

}  // namespace

void pixel_set(ImageBuffer* target, float x, float y, uint32_t colour, int32_t mode,
               int32_t preset) {
  DrawState* state = draw_select_target(target);
  if (!state) return;
  if (mode < 0) colour = preset != 0 ? state->background : state->foreground;
  const uint32_t value = pixel_colour(colour, state->bytes_per_pixel);
  const PixelPoint p = point_to_pixel(x, y, state->clip.x, state->clip.y);
  if (!inside_clip(*state, p)) return;

  screen_lock();
  uint8_t* at = pixel_address(*state, p);
  switch (state->bytes_per_pixel) {
    case 1:
      *at = static_cast<uint8_t>(value);
      break;
    case 2: {
      const auto v = static_cast<uint16_t>(value);
      std::memcpy(at, &v, 2);
      break;
    }
    default:
      std::memcpy(at, &value, 4);
      break;
  }
  const auto row = static_cast<int32_t>(p.y);
  screen_mark_rows(row, row);
  screen_unlock();
}

int32_t pixel_get(ImageBuffer* target, float x, float y) {
  DrawState* state = draw_select_target(target);
  if (!state) return -1;
  const PixelPoint p = point_to_pixel(x, y, state->clip.x, state->clip.y);
  if (!inside_clip(*state, p)) return -1;

  screen_lock();
  const uint8_t* at = pixel_address(*state, p);
  int32_t value = 0;
  switch (state->bytes_per_pixel) {
    case 1:
      value = *at;
      break;
    case 2: {
      uint16_t v = 0;
      std::memcpy(&v, at, 2);
      value = v;
      break;
    }
    default: {
      // Four-byte pixels hold red, green and blue in the low 24 bits; the top
      // byte is dropped so that no pixel can read as the off-target -1.
      uint32_t v = 0;
      std::memcpy(&v, at, 4);
      value = static_cast<int32_t>(v & 0xFFFFFFu);
      break;
    }
  }
  screen_unlock();
  return value;
}

}  // namespace runtime
