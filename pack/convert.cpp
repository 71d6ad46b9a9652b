#include "pack/convert.h"

#include <array>
#include <cstdio>
#include <vector>

#include "pack/assets.h"
#include "pack/mem_file.h"
#include "pack/output_file.h"

namespace pack {
namespace {

constexpr size_t COLOUR_COUNT = 16;
constexpr uint8_t OPAQUE = 255;

// As datapack/palette.gpl names them.
constexpr std::array<const char*, COLOUR_COUNT> COLOUR_NAMES = {
    "black",     "blue",          "green",     "cyan",       "red",         "magenta",
    "brown",     "light grey",    "dark grey", "light blue", "light green", "light cyan",
    "light red", "light magenta", "yellow",    "white"};

bool same(const Rgb& a, const Rgb& b) {
  return a.red == b.red && a.green == b.green && a.blue == b.blue;
}

std::string describe(const Rgb& c) {
  return "(" + std::to_string(c.red) + ", " + std::to_string(c.green) + ", " +
         std::to_string(c.blue) + ")";
}

// The palette colour nearest to c, for the message that refuses c.
size_t nearest_colour(const Rgb& c) {
  size_t best = 0;
  int best_distance = INT32_MAX;
  for (size_t i = 0; i < COLOUR_COUNT; ++i) {
    const Rgb p = screen_colour(static_cast<uint8_t>(i));
    const int dr = c.red - p.red;
    const int dg = c.green - p.green;
    const int db = c.blue - p.blue;
    const int distance = dr * dr + dg * dg + db * db;
    if (distance < best_distance) {
      best = i;
      best_distance = distance;
    }
  }
  return best;
}

// RGBA pixels to palette indices; false (with the message) at the first pixel
// that is not fully opaque or not one of the 16 colours.
bool indices_from_colours(const PngPicture& picture, std::vector<uint8_t>& indices,
                          std::string& error) {
  indices.resize(size_t{picture.width} * picture.height);
  for (size_t i = 0; i < indices.size(); ++i) {
    const uint8_t* p = &picture.rgba[i * 4];
    const Rgb colour{p[0], p[1], p[2]};
    const std::string where = "pixel (" + std::to_string(i % picture.width) + ", " +
                              std::to_string(i / picture.width) + ")";
    if (p[3] != OPAQUE) {
      error = where + " is not fully opaque (alpha " + std::to_string(p[3]) +
              "): every pixel must be one of the 16 colours";
      return false;
    }
    size_t index = 0;
    while (index < COLOUR_COUNT && !same(colour, screen_colour(static_cast<uint8_t>(index)))) {
      ++index;
    }
    if (index == COLOUR_COUNT) {
      const size_t near = nearest_colour(colour);
      error = where + " has the colour " + describe(colour) +
              ", which is not one of the 16 (the nearest is " + std::to_string(near) + ", " +
              COLOUR_NAMES[near] + " " + describe(screen_colour(static_cast<uint8_t>(near))) + ")";
      return false;
    }
    indices[i] = static_cast<uint8_t>(index);
  }
  return true;
}

// An indexed file keeps its indices; a colour map that shows an index in
// another colour than the game will is worth a word, once per index.
void warn_about_colour_map(const std::string& in, const PngPicture& picture) {
  std::array<bool, 256> warned{};
  for (size_t i = 0; i < picture.indices.size(); ++i) {
    const uint8_t index = picture.indices[i];
    if (warned[index] || index >= picture.palette.size()) continue;
    warned[index] = true;
    const Rgb game_colour = screen_colour(index);
    if (same(picture.palette[index], game_colour)) continue;
    std::fprintf(stderr,
                 "%s: warning: pixel (%zu, %zu) has index %u, which this file shows as %s but the "
                 "game as %s; the index is kept\n",
                 in.c_str(), i % picture.width, i / picture.width, index,
                 describe(picture.palette[index]).c_str(), describe(game_colour).c_str());
  }
}

std::vector<uint8_t> enlarged(const std::vector<uint8_t>& pixels, int32_t width, int32_t height,
                              int32_t scale) {
  const auto w = static_cast<size_t>(width);
  const auto s = static_cast<size_t>(scale);
  std::vector<uint8_t> out(w * s * static_cast<size_t>(height) * s);
  for (size_t y = 0; y < out.size() / (w * s); ++y) {
    for (size_t x = 0; x < w * s; ++x) out[y * w * s + x] = pixels[(y / s) * w + x / s];
  }
  return out;
}

}  // namespace

int to_png_run(const ToPngOptions& options) {
  int32_t width = options.width;
  int32_t height = options.height;
  const size_t slot = asset_slot_of(options.in);
  if (slot < ASSET_COUNT) {
    const game::AssetSize size = game::ASSET_SIZES[slot];
    if (width != 0 && (width != size.width || height != size.height)) {
      std::fprintf(stderr,
                   "tilewalk-pack to-png: %s: the game reads this file as %d x %d, not %dx%d\n",
                   options.in.c_str(), size.width, size.height, width, height);
      return 2;
    }
    width = size.width;
    height = size.height;
  } else if (width == 0) {
    std::fprintf(stderr,
                 "tilewalk-pack to-png: %s: not one of the six files the game loads; give its "
                 "size with --size WxH\n",
                 options.in.c_str());
    return 2;
  }
  const int64_t count = int64_t{width} * height;
  MemFile file;
  if (!mem_read(options.in, count, file)) {
    std::fprintf(stderr, "tilewalk-pack to-png: %s: cannot be read (missing, or not a file)\n",
                 options.in.c_str());
    return 1;
  }
  const std::vector<uint8_t> pixels =
      enlarged(mem_pixels(file, count), width, height, options.scale);
  std::string error;
  if (!png_write_indexed(options.out, static_cast<uint32_t>(width * options.scale),
                         static_cast<uint32_t>(height * options.scale), pixels, options.transparent,
                         error)) {
    std::fprintf(stderr, "tilewalk-pack to-png: %s\n", error.c_str());
    return 1;
  }
  return 0;
}

int from_png_run(const std::string& in, const std::string& out) {
  PngPicture picture;
  std::string error;
  if (!png_read_file(in, picture, error)) {
    std::fprintf(stderr, "tilewalk-pack from-png: %s\n", error.c_str());
    return 1;
  }
  const size_t slot = asset_slot_of(out);
  if (slot < ASSET_COUNT) {
    const game::AssetSize size = game::ASSET_SIZES[slot];
    if (picture.width != static_cast<uint32_t>(size.width) ||
        picture.height != static_cast<uint32_t>(size.height)) {
      std::fprintf(stderr,
                   "tilewalk-pack from-png: %s is %u x %u, but the game reads %s as %d x %d\n",
                   in.c_str(), picture.width, picture.height, out.c_str(), size.width, size.height);
      return 1;
    }
  }
  std::vector<uint8_t> indices;
  if (picture.indexed) {
    warn_about_colour_map(in, picture);
    indices = picture.indices;
  } else if (!indices_from_colours(picture, indices, error)) {
    std::fprintf(stderr, "tilewalk-pack from-png: %s: %s\n", in.c_str(), error.c_str());
    return 1;
  }
  if (!output_file_write(out, mem_text(picture.width, picture.height, indices), error)) {
    std::fprintf(stderr, "tilewalk-pack from-png: %s\n", error.c_str());
    return 1;
  }
  return 0;
}

}  // namespace pack
