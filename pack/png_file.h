// PNG in and out for the datapack tool, through libpng: reading any PNG into
// either its palette indices (indexed files) or 8-bit RGBA (all others), and
// writing 8-bit indexed PNGs whose colour map is the screen's 256 entries,
// so a picture's indices survive a trip through a paint program.
// Any thread; no state outside the call.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace pack {

// Larger pictures are refused before anything is allocated for them.
constexpr uint32_t PNG_MAX_SIDE = 4096;

// A palette index given nowhere: no tRNS chunk is written.
constexpr int32_t NO_TRANSPARENT_INDEX = -1;

struct Rgb {
  uint8_t red = 0;
  uint8_t green = 0;
  uint8_t blue = 0;
};

struct PngPicture {
  uint32_t width = 0;
  uint32_t height = 0;
  bool indexed = false;
  std::vector<uint8_t> indices;  // indexed files: one index per pixel, row-major
  std::vector<Rgb> palette;      // indexed files: the file's own colour map
  std::vector<uint8_t> alpha;    // indexed files: tRNS alpha of the first entries (others opaque)
  std::vector<uint8_t> rgba;     // other files: four bytes per pixel, row-major
};

// The screen's palette: 0 to 15 the default colours, 16 to 255 black.
Rgb screen_colour(uint8_t index);

// False and a message naming the path when the file is no PNG libpng can
// read, is damaged, or is larger than PNG_MAX_SIDE on a side.
bool png_read_file(const std::string& path, PngPicture& picture, std::string& error);

// Writes width x height indices as an 8-bit indexed PNG with the screen's
// palette. transparent_index, when 0 to 255, becomes fully transparent
// through a tRNS chunk. The file is replaced whole or not at all.
bool png_write_indexed(const std::string& path, uint32_t width, uint32_t height,
                       const std::vector<uint8_t>& indices, int32_t transparent_index,
                       std::string& error);

}  // namespace pack
