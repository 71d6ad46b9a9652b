// ImageBuffer allocation, grab and put.
//
// Sizes are worked out in 64-bit and refused when they overflow or do not fit
// the header's 32-bit words, so no request ever turns into a short allocation.
// Puts run once per tile, over a hundred a frame: each row is one tight loop
// over restrict pointers, in blocks the compiler turns into vector code.
#include "runtime/screen/images.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <utility>

#include "runtime/screen/coordinates.h"
#include "runtime/screen/draw_state.h"
#include "runtime/screen/paged_screen.h"
#include "runtime/screen/pixels.h"
#include "runtime/screen/results.h"
#include "runtime/screen/screen_lock.h"

namespace runtime {
namespace {

constexpr uint64_t UINT32_LIMIT = std::numeric_limits<uint32_t>::max();
constexpr uintptr_t HEADER_ALIGNMENT = 16;
constexpr uintptr_t ORIGIN_SLOT = sizeof(void*);

int32_t last_result = RESULT_OK;

// Row width in bytes raised to the next multiple of 16, or 0 when it does not
// fit the header's 32-bit pitch.
uint64_t padded_pitch(uint64_t width, uint64_t bytes_per_pixel) {
  const uint64_t pitch = (width * bytes_per_pixel + 15) & ~uint64_t{15};
  return pitch <= UINT32_LIMIT ? pitch : 0;
}

ImageBuffer* fail(int32_t result) {
  last_result = result;
  return nullptr;
}

uint64_t load_word(const uint8_t* bytes) {
  uint64_t word;  // every byte written by the copy
  std::memcpy(&word, bytes, sizeof word);
  return word;
}

// Eight bytes at a time through 64-bit words: OR and XOR act on each byte
// alone, so the bytes come out the same, and this form is fast at every
// optimisation level (a 16-byte block loop was vectorised at -O2 but became
// sixteen byte-wide read-modify-writes at -O3, four times slower).
template <typename Rule>
void put_row(uint8_t* __restrict dst, const uint8_t* __restrict src, size_t n, Rule rule) {
  size_t i = 0;
  for (; i + 8 <= n; i += 8) {
    const uint64_t d = rule(load_word(dst + i), load_word(src + i));
    std::memcpy(dst + i, &d, sizeof d);
  }
  for (; i < n; ++i) dst[i] = static_cast<uint8_t>(rule(dst[i], src[i]));
}

// All rows of one put in one call, so the rule is inlined into the loop
// rather than called through a pointer for every 16-byte row.
template <typename Rule>
void put_rows(uint8_t* const* rows, int64_t first, int64_t last, size_t column, const uint8_t* src,
              size_t pitch, size_t n, Rule rule) {
  for (int64_t row = first; row <= last; ++row, src += pitch) {
    put_row(rows[row] + column, src, n, rule);
  }
}

}  // namespace

bool image_header_valid(const ImageBuffer* image) {
  if (!image || image->type != IMAGE_TYPE) return false;
  const uint64_t bpp = image->bytes_per_pixel;
  if (bpp != 1 && bpp != 2 && bpp != 4) return false;
  if (uint64_t{image->pitch} < uint64_t{image->width} * bpp) return false;
  return uint64_t{image->height} * image->pitch <= image->capacity;
}

ImageBuffer* image_create(int32_t width, int32_t height, uint32_t colour, int32_t depth,
                          uint32_t flags) {
  const PagedScreen* screen = screen_current();
  if (!screen || width <= 0 || height <= 0) return fail(RESULT_ILLEGAL_CALL);

  int64_t bpp = screen->bytes_per_pixel;
  if (depth > 0) {
    bpp = (int64_t{depth} + 7) / 8;
    if (bpp != 1 && bpp != 2 && bpp != 4) return fail(RESULT_ILLEGAL_CALL);
  }
  const uint64_t pitch = padded_pitch(static_cast<uint64_t>(width), static_cast<uint64_t>(bpp));
  if (pitch == 0) return fail(RESULT_ILLEGAL_CALL);
  const uint64_t pixel_bytes = pitch * static_cast<uint64_t>(height);  // < 2^63
  if (pixel_bytes > UINT32_LIMIT) return fail(RESULT_ILLEGAL_CALL);

  const auto block_size = static_cast<size_t>(pixel_bytes + IMAGE_ALLOCATION_OVERHEAD);
  void* block = std::malloc(block_size);
  if (!block) return fail(RESULT_OUT_OF_MEMORY);

  // The header's place is worked out as an address but reached from the
  // block, so the pointer keeps the block's provenance.
  const auto start = reinterpret_cast<uintptr_t>(block);
  const uintptr_t header_at =
      (start + ORIGIN_SLOT + HEADER_ALIGNMENT - 1) & ~(HEADER_ALIGNMENT - 1);
  uint8_t* header = static_cast<uint8_t*>(block) + (header_at - start);
  auto* image = reinterpret_cast<ImageBuffer*>(header);
  std::memcpy(header - ORIGIN_SLOT, &block, sizeof block);
  image->type = IMAGE_TYPE;
  image->bytes_per_pixel = static_cast<uint32_t>(bpp);
  image->width = static_cast<uint32_t>(width);
  image->height = static_cast<uint32_t>(height);
  image->pitch = static_cast<uint32_t>(pitch);
  image->capacity = static_cast<uint32_t>(pixel_bytes);
  std::memset(image->reserved, 0, sizeof image->reserved);

  // Bit 31 of flags: no colour given, fill with the transparent colour 0.
  const uint32_t fill =
      (flags & 0x80000000u) != 0 ? 0 : pixel_colour(colour, static_cast<int32_t>(bpp));
  // No page is involved, so no lock.
  span_fill(image_pixels(image), 0, static_cast<int64_t>(pixel_bytes) / bpp,
            static_cast<int32_t>(bpp), fill);
  last_result = RESULT_OK;
  return image;
}

int32_t image_last_result() { return last_result; }

void image_release(ImageBuffer* image) {
  if (!image) return;
  // Drawing goes back to the screen; with none open, no pointer to the freed
  // image is left behind.
  DrawState& state = draw_state();
  if (state.target == image && !draw_select_target(nullptr)) state.target = nullptr;
  void* block = nullptr;
  std::memcpy(&block, reinterpret_cast<uint8_t*>(image) - ORIGIN_SLOT, sizeof block);
  std::free(block);
}

int32_t image_grab(ImageBuffer* target, float x1, float y1, float x2, float y2, ImageBuffer* image,
                   int32_t /*mode*/, const int64_t* limit) {
  // Grabbing an image into itself would rewrite the rows it reads from.
  if (!image || image == target || !image_header_valid(image)) return RESULT_ILLEGAL_CALL;
  DrawState* state = draw_select_target(target);
  if (!state) return RESULT_ILLEGAL_CALL;

  PixelPoint a = point_to_pixel(x1, y1, state->clip.x, state->clip.y);
  PixelPoint b = point_to_pixel(x2, y2, state->clip.x, state->clip.y);
  if (a.x > b.x) std::swap(a.x, b.x);
  if (a.y > b.y) std::swap(a.y, b.y);
  const ClipRect& c = state->clip;
  if (a.x < c.x || a.y < c.y || b.x >= int64_t{c.x} + c.width || b.y >= int64_t{c.y} + c.height) {
    return RESULT_ILLEGAL_CALL;
  }

  const auto w = static_cast<uint64_t>(b.x - a.x + 1);
  const auto h = static_cast<uint64_t>(b.y - a.y + 1);
  const auto bpp = static_cast<uint64_t>(state->bytes_per_pixel);
  const uint64_t pitch = padded_pitch(w, bpp);
  // Both refusals come before the header is touched, so a refused grab leaves
  // the image exactly as it was.
  if (pitch == 0 || h * pitch > image->capacity) return RESULT_ILLEGAL_CALL;
  if (limit && static_cast<int64_t>(h * pitch) > *limit) return RESULT_ILLEGAL_CALL;

  // The type is already right: the header passed image_header_valid.
  image->bytes_per_pixel = static_cast<uint32_t>(bpp);
  image->width = static_cast<uint32_t>(w);
  image->height = static_cast<uint32_t>(h);
  image->pitch = static_cast<uint32_t>(pitch);

  const auto row_bytes = static_cast<size_t>(w * bpp);
  const auto column = static_cast<size_t>(static_cast<uint64_t>(a.x) * bpp);
  uint8_t* dst = image_pixels(image);
  screen_lock();
  for (int64_t y = a.y; y <= b.y; ++y, dst += pitch) {
    std::memcpy(dst, state->rows[static_cast<size_t>(y)] + column, row_bytes);
  }
  screen_unlock();
  return RESULT_OK;
}

int32_t image_put(ImageBuffer* target, float x, float y, ImageBuffer* image, int32_t sx1,
                  int32_t sy1, int32_t sx2, int32_t sy2, int32_t /*mode*/, int32_t put_mode,
                  int32_t /*alpha*/, void* /*blend*/, int32_t /*blend_parameter*/) {
  // An image put onto itself would read bytes the same put has changed.
  if (!image || image == target || !image_header_valid(image)) return RESULT_ILLEGAL_CALL;
  DrawState* state = draw_select_target(target);
  if (!state) return RESULT_ILLEGAL_CALL;
  if (put_mode != PUT_OR && put_mode != PUT_XOR) return RESULT_ILLEGAL_CALL;
  const PixelPoint p = point_to_pixel(x, y, state->clip.x, state->clip.y);
  if (image->bytes_per_pixel != static_cast<uint32_t>(state->bytes_per_pixel)) {
    return RESULT_ILLEGAL_CALL;
  }
  const int64_t w = image->width;
  const int64_t h = image->height;

  // The source rectangle: an omitted corner is the image's edge; corners come
  // in any order and are kept inside the image (an image with no pixels has
  // an empty one).
  int64_t u0 = sx1 == ARG_OMITTED ? 0 : sx1;
  int64_t v0 = sy1 == ARG_OMITTED ? 0 : sy1;
  int64_t u1 = sx2 == ARG_OMITTED ? w - 1 : sx2;
  int64_t v1 = sy2 == ARG_OMITTED ? h - 1 : sy2;
  if (u0 > u1) std::swap(u0, u1);
  if (v0 > v1) std::swap(v0, v1);
  u0 = std::max<int64_t>(u0, 0);
  v0 = std::max<int64_t>(v0, 0);
  u1 = std::min(u1, w - 1);
  v1 = std::min(v1, h - 1);
  if (u0 > u1 || v0 > v1) return RESULT_OK;
  const int64_t sw = u1 - u0 + 1;
  const int64_t sh = v1 - v0 + 1;

  const ClipRect& c = state->clip;
  const int64_t cx0 = c.x;
  const int64_t cy0 = c.y;
  const int64_t cx1 = int64_t{c.x} + c.width - 1;
  const int64_t cy1 = int64_t{c.y} + c.height - 1;
  if (p.x + sw <= cx0 || p.x > cx1 || p.y + sh <= cy0 || p.y > cy1) return RESULT_OK;
  const int64_t dx0 = std::max(p.x, cx0);
  const int64_t dy0 = std::max(p.y, cy0);
  const int64_t dx1 = std::min(p.x + sw - 1, cx1);
  const int64_t dy1 = std::min(p.y + sh - 1, cy1);

  const int64_t bpp = state->bytes_per_pixel;
  const auto row_bytes = static_cast<size_t>((dx1 - dx0 + 1) * bpp);
  const auto dst_column = static_cast<size_t>(dx0 * bpp);
  const uint8_t* src = image_pixels(image) + static_cast<size_t>((v0 + dy0 - p.y) * image->pitch) +
                       static_cast<size_t>((u0 + dx0 - p.x) * bpp);
  screen_lock();
  if (put_mode == PUT_XOR) {
    put_rows(state->rows.data(), dy0, dy1, dst_column, src, image->pitch, row_bytes,
             [](auto d, auto s) { return d ^ s; });
  } else {
    put_rows(state->rows.data(), dy0, dy1, dst_column, src, image->pitch, row_bytes,
             [](auto d, auto s) { return d | s; });
  }
  screen_mark_rows(static_cast<int32_t>(dy0), static_cast<int32_t>(dy1));
  screen_unlock();
  return RESULT_OK;
}

}  // namespace runtime
