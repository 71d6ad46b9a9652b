// Outline and filled boxes. Every horizontal run is one span fill and each
// side one pixel a row, for every pixel size alike, all under a single hold
// of the screen lock.
#include "runtime/screen/boxes.h"

#include <algorithm>
#include <utility>

#include "runtime/screen/coordinates.h"
#include "runtime/screen/draw_state.h"
#include "runtime/screen/paged_screen.h"
#include "runtime/screen/pixels.h"
#include "runtime/screen/screen_lock.h"

namespace runtime {

void draw_line(ImageBuffer* target, float x1, float y1, float x2, float y2, uint32_t colour,
               int32_t shape, uint32_t style, int32_t mode) {
  DrawState* state = draw_select_target(target);
  if (!state) return;
  const bool filled = shape == LINE_SHAPE_FILLED_BOX;
  if (!filled && !(shape == LINE_SHAPE_BOX && style == LINE_STYLE_SOLID)) return;
  if (mode < 0) colour = state->foreground;
  const int32_t bpp = state->bytes_per_pixel;
  const uint32_t value = pixel_colour(colour, bpp);

  PixelPoint a = point_to_pixel(x1, y1, state->clip.x, state->clip.y);
  PixelPoint b = point_to_pixel(x2, y2, state->clip.x, state->clip.y);
  if (a.x > b.x) std::swap(a.x, b.x);
  if (a.y > b.y) std::swap(a.y, b.y);

  const ClipRect& c = state->clip;
  const int64_t cx0 = c.x;
  const int64_t cy0 = c.y;
  const int64_t cx1 = int64_t{c.x} + c.width - 1;
  const int64_t cy1 = int64_t{c.y} + c.height - 1;
  if (b.x < cx0 || b.y < cy0 || a.x > cx1 || a.y > cy1) return;

  const int64_t bx0 = std::max(a.x, cx0);
  const int64_t by0 = std::max(a.y, cy0);
  const int64_t bx1 = std::min(b.x, cx1);
  const int64_t by1 = std::min(b.y, cy1);
  const int64_t span = bx1 - bx0 + 1;
  auto row = [state](int64_t y) { return state->rows[static_cast<size_t>(y)]; };

  // Whole rows of one-byte pixels lie back to back when the rows are
  // contiguous: the box is then one block fill (the frame's clear is one).
  const bool one_block = filled && bpp == 1 && bx0 == 0 && span == state->pitch &&
                         row(by1) == row(by0) + (by1 - by0) * state->pitch;
  screen_lock();
  if (one_block) {
    span_fill(row(by0), 0, span * (by1 - by0 + 1), bpp, value);
  } else if (filled) {
    for (int64_t y = by0; y <= by1; ++y) span_fill(row(y), bx0, span, bpp, value);
  } else {
    if (a.y >= cy0) span_fill(row(a.y), bx0, span, bpp, value);
    if (b.y <= cy1 && b.y != a.y) span_fill(row(b.y), bx0, span, bpp, value);
    const bool left = a.x >= cx0;
    const bool right = b.x <= cx1 && b.x != a.x;
    for (int64_t y = by0; y <= by1; ++y) {
      if (left) span_fill(row(y), a.x, 1, bpp, value);
      if (right) span_fill(row(y), b.x, 1, bpp, value);
    }
  }
  screen_mark_rows(static_cast<int32_t>(by0), static_cast<int32_t>(by1));
  screen_unlock();
}

}  // namespace runtime
