// Off-screen pictures: the ImageBuffer layout and its three operations.
// Game thread only. An image is one allocation: an origin slot, then this
// 32-byte header on a 16-byte boundary, then height x pitch pixel bytes.
#pragma once

#include <cstdint>

namespace runtime {

constexpr uint32_t IMAGE_TYPE = 7;

struct ImageBuffer {
  uint32_t type;
  uint32_t bytes_per_pixel;
  uint32_t width;
  uint32_t height;
  uint32_t pitch;     // width x bytes per pixel, raised to a multiple of 16
  uint32_t capacity;  // pixel bytes the allocation holds (first reserved word)
  uint8_t reserved[8];
};
static_assert(sizeof(ImageBuffer) == 32);

inline uint8_t* image_pixels(ImageBuffer* image) {
  return reinterpret_cast<uint8_t*>(image) + sizeof(ImageBuffer);
}

}  // namespace runtime
