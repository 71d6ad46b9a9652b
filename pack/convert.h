// `tilewalk-pack to-png` and `from-png`: a .mem picture to an indexed PNG
// exactly as the game reads it, and a PNG drawn with the 16 colours back to
// a .mem file in the one layout that holds no empty item.
// Game's thread only (reading goes through the text-file service).
#pragma once

#include <cstdint>
#include <string>

#include "pack/png_file.h"

namespace pack {

struct ToPngOptions {
  std::string in;
  std::string out;
  int32_t width = 0;  // 0: from the file name
  int32_t height = 0;
  int32_t scale = 1;
  int32_t transparent = NO_TRANSPARENT_INDEX;
};

// The exit status: 0, 1 when IN cannot be read or OUT written, 2 when the
// size is not known (IN is none of the six files and no --size was given) or
// contradicts the file name.
int to_png_run(const ToPngOptions& options);

struct FromPngOptions {
  std::string in;
  std::string out;
  bool keep_indices = false;  // a paletted file's own indices, whatever colours they show
  bool nearest = false;       // a colour that is none of the 16 becomes the nearest of them
};

// Each pixel becomes the palette index of its colour, whatever the file's
// type or colour order. The exit status: 0, or 1 when the PNG cannot be read,
// has pixels that are none of the 16 colours (counted, the first few named;
// nothing is written), has not the size the game reads OUT's name at, or OUT
// cannot be written.
int from_png_run(const FromPngOptions& options);

}  // namespace pack
