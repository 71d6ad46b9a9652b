// Plotting and reading single pixels of the current drawing target, and the
// row-span helpers the other primitives share. Game thread only.
//
// A null target is the screen's work page. Off-target points are clipped, not
// refused: pixel_set draws nothing there and pixel_get returns -1, so -1 never
// comes from a point inside the target.
#pragma once

#include <cstdint>
#include <cstring>

namespace runtime {

struct ImageBuffer;

// The coordinate mode of the drawing calls: plain page coordinates with the
// colour given (4 means the same; a negative mode means no colour is given).
constexpr int32_t COORDINATES_PLAIN = 0;

// Stores colour (its low bits that fit one pixel) at (x, y). A negative mode
// means no colour is given: the foreground colour is used, or the background
// colour when preset is non-zero.
void pixel_set(ImageBuffer* target, float x, float y, uint32_t colour, int32_t mode,
               int32_t preset);

// The pixel at (x, y) as 0..255 on one byte per pixel, or -1 off the target
// (and with no screen open).
int32_t pixel_get(ImageBuffer* target, float x, float y);

// The colour a pixel of `bytes_per_pixel` bytes holds: the low bits that fit.
inline uint32_t pixel_colour(uint32_t colour, int32_t bytes_per_pixel) {
  switch (bytes_per_pixel) {
    case 1:
      return colour & 0xFFu;
    case 2:
      return colour & 0xFFFFu;
    default:
      return colour;
  }
}

// Sets `count` pixels from column x0 of one row to `colour` (already reduced
// by pixel_colour). One byte per pixel is a single memset.
inline void span_fill(uint8_t* row, int64_t x0, int64_t count, int32_t bytes_per_pixel,
                      uint32_t colour) {
  if (count <= 0) return;
  const auto n = static_cast<size_t>(count);
  if (bytes_per_pixel == 1) {
    std::memset(row + x0, static_cast<int>(colour), n);
    return;
  }
  uint8_t* p = row + x0 * bytes_per_pixel;
  if (bytes_per_pixel == 2) {
    const auto v = static_cast<uint16_t>(colour);
    for (size_t i = 0; i < n; ++i) std::memcpy(p + 2 * i, &v, 2);
  } else {
    for (size_t i = 0; i < n; ++i) std::memcpy(p + 4 * i, &colour, 4);
  }
}

}  // namespace runtime
