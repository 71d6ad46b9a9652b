// The 8x8 font the text on the graphics screen is drawn with: 256 glyphs in
// code page 437 order, one byte per pixel row from the top, bit 0 = leftmost
// pixel, a set bit a glyph pixel. Constant data; any thread may read it.
#pragma once

#include <array>
#include <cstdint>

namespace runtime {

using Glyph = std::array<uint8_t, 8>;

extern const std::array<Glyph, 256> FONT_GLYPHS;

}  // namespace runtime
