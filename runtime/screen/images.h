// Off-screen pictures: creating an ImageBuffer, grabbing a rectangle of the
// current target into it, and putting it onto the target with a byte rule.
// Game thread only.
//
// Allocation layout (64-bit addresses): malloc'd block, padding, an 8-byte
// origin slot holding the block's start, the 32-byte header on the first
// 16-byte boundary with room for the slot, then height x pitch pixel bytes,
// every row on a 16-byte boundary. The block is pixel bytes + 55: 32 for the
// header, 8 for the slot and 15 for the worst misalignment malloc could give.
// The header's capacity word records the pixel bytes so that no later grab can
// write past them.
#pragma once

#include <cstdint>

#include "runtime/screen/image_buffer.h"

namespace runtime {

// Byte rules of image_put.
constexpr int32_t PUT_OR = 4;   // destination = destination OR source
constexpr int32_t PUT_XOR = 5;  // destination = destination XOR source

// image_create flag: no fill colour given, the picture starts as colour 0.
constexpr uint32_t IMAGE_NO_FILL = 0x80000000u;

// Bytes an allocation holds beyond the pixel bytes.
constexpr int64_t IMAGE_ALLOCATION_OVERHEAD = 32 + 8 + 15;

// A new width x height picture filled with colour (or with the transparent 0
// when flags has bit 31 set). depth <= 0 takes the screen's bytes per pixel.
// Null with no screen open, bad sizes or depth, or sizes whose pixel bytes do
// not fit the header's 32-bit capacity word (RESULT_ILLEGAL_CALL), or when
// memory runs out (RESULT_OUT_OF_MEMORY).
ImageBuffer* image_create(int32_t width, int32_t height, uint32_t colour, int32_t depth,
                          uint32_t flags);

// The result code of the last image_create.
int32_t image_last_result();

// Frees an image made by image_create. Null is ignored.
void image_release(ImageBuffer* image);

// Copies the rectangle between two inclusive corners of the target into the
// image and rewrites its header to that size. Refused whole
// (RESULT_ILLEGAL_CALL, image untouched) if any part lies outside the target,
// if the rows would not fit the image's capacity, or if h x pitch exceeds
// *limit when a limit is given.
int32_t image_grab(ImageBuffer* target, float x1, float y1, float x2, float y2, ImageBuffer* image,
                   int32_t mode, const int64_t* limit);

// Combines the image (or its source rectangle sx1..sx2, sy1..sy2, inclusive;
// ARG_OMITTED for a corner means the image's edge) byte by byte with the
// target, its top-left pixel at (x, y), clipped to the target. Put modes other
// than PUT_OR and PUT_XOR are refused; alpha and the blend routine are unused.
int32_t image_put(ImageBuffer* target, float x, float y, ImageBuffer* image, int32_t sx1,
                  int32_t sy1, int32_t sx2, int32_t sy2, int32_t mode, int32_t put_mode,
                  int32_t alpha, void* blend, int32_t blend_parameter);

// True when the header describes a picture drawing can trust: type 7, 1, 2 or
// 4 bytes per pixel, a pitch holding a row, and rows within the capacity.
bool image_header_valid(const ImageBuffer* image);

}  // namespace runtime
