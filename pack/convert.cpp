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
// Enough to find them in a paint program; the count tells how many there are.
constexpr size_t SHOWN_BAD_PIXELS = 5;

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

// The palette colour nearest to c (the first of equals), by distance in RGB.
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

// The colour of every pixel, four bytes each: an indexed file's through its
// own colour map (and tRNS alpha), so its index order does not matter.
std::vector<uint8_t> rgba_of(const PngPicture& picture) {
  if (!picture.indexed) return picture.rgba;
  std::vector<uint8_t> rgba(picture.indices.size() * 4, 0);
  for (size_t i = 0; i < picture.indices.size(); ++i) {
    const uint8_t index = picture.indices[i];
    const Rgb c = index < picture.palette.size() ? picture.palette[index] : Rgb{};
    rgba[i * 4] = c.red;
    rgba[i * 4 + 1] = c.green;
    rgba[i * 4 + 2] = c.blue;
    rgba[i * 4 + 3] = index < picture.alpha.size() ? picture.alpha[index] : OPAQUE;
  }
  return rgba;
}

// True when every index the file uses shows the game's colour of that index,
// as in a file to-png wrote: then its indices are what its colours say, and
// an index from 16 up, which the game shows as black, keeps its value.
bool colour_map_is_screens(const PngPicture& picture) {
  std::array<bool, 256> used{};
  for (const uint8_t index : picture.indices) used[index] = true;
  for (size_t index = 0; index < used.size(); ++index) {
    if (!used[index]) continue;
    if (index >= picture.palette.size() ||
        !same(picture.palette[index], screen_colour(static_cast<uint8_t>(index))) ||
        (index < picture.alpha.size() && picture.alpha[index] != OPAQUE)) {
      return false;
    }
  }
  return true;
}

struct BadPixel {
  size_t at = 0;
  uint8_t rgba[4] = {};
  size_t nearest = 0;
};

// Colours to palette indices. A fully transparent pixel is 0, which the game
// leaves see-through; any other pixel must be one of the 16 colours, fully
// opaque. The others are listed in `bad` (with their nearest colour, which
// they become when `snap`).
std::vector<uint8_t> indices_from_colours(const std::vector<uint8_t>& rgba, bool snap,
                                          std::vector<BadPixel>& bad, size_t& bad_count) {
  std::vector<uint8_t> indices(rgba.size() / 4, 0);
  bad_count = 0;
  for (size_t i = 0; i < indices.size(); ++i) {
    const uint8_t* p = &rgba[i * 4];
    if (p[3] == 0) continue;
    const Rgb colour{p[0], p[1], p[2]};
    size_t index = 0;
    while (index < COLOUR_COUNT && !same(colour, screen_colour(static_cast<uint8_t>(index)))) {
      ++index;
    }
    if (index < COLOUR_COUNT && p[3] == OPAQUE) {
      indices[i] = static_cast<uint8_t>(index);
      continue;
    }
    // A half-transparent pixel looks, over the game's black, like its colour
    // weakened by its alpha.
    const Rgb seen{static_cast<uint8_t>(p[0] * p[3] / OPAQUE),
                   static_cast<uint8_t>(p[1] * p[3] / OPAQUE),
                   static_cast<uint8_t>(p[2] * p[3] / OPAQUE)};
    const size_t near = nearest_colour(seen);
    if (bad.size() < SHOWN_BAD_PIXELS) bad.push_back({i, {p[0], p[1], p[2], p[3]}, near});
    ++bad_count;
    if (snap) indices[i] = static_cast<uint8_t>(near);
  }
  return indices;
}

std::string describe_bad(const BadPixel& pixel, uint32_t width) {
  std::string colour = "(" + std::to_string(pixel.rgba[0]) + ", " + std::to_string(pixel.rgba[1]) +
                       ", " + std::to_string(pixel.rgba[2]);
  colour += pixel.rgba[3] == OPAQUE ? ")" : ", alpha " + std::to_string(pixel.rgba[3]) + ")";
  const Rgb near = screen_colour(static_cast<uint8_t>(pixel.nearest));
  return "pixel (" + std::to_string(pixel.at % width) + ", " + std::to_string(pixel.at / width) +
         ") has the colour " + colour + ", nearest " + std::to_string(pixel.nearest) + " " +
         COLOUR_NAMES[pixel.nearest] + " " + describe(near);
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

int from_png_run(const FromPngOptions& options) {
  const std::string& in = options.in;
  const std::string& out = options.out;
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
  if (options.keep_indices) {
    if (!picture.indexed) {
      std::fprintf(stderr,
                   "tilewalk-pack from-png: %s: --keep-indices needs a paletted PNG; this one has "
                   "colours only\n",
                   in.c_str());
      return 1;
    }
    warn_about_colour_map(in, picture);
    indices = picture.indices;
  } else if (picture.indexed && colour_map_is_screens(picture)) {
    indices = picture.indices;
  } else {
    std::vector<BadPixel> bad;
    size_t bad_count = 0;
    indices = indices_from_colours(rgba_of(picture), options.nearest, bad, bad_count);
    if (bad_count > 0 && !options.nearest) {
      std::fprintf(stderr,
                   "tilewalk-pack from-png: %s: %zu of its %zu pixels %s not one of the 16 "
                   "colours, fully opaque%s:\n",
                   in.c_str(), bad_count, indices.size(), bad_count == 1 ? "is" : "are",
                   bad_count > bad.size() ? "; the first few" : "");
      for (const BadPixel& pixel : bad) {
        std::fprintf(stderr, "  %s\n", describe_bad(pixel, picture.width).c_str());
      }
      std::fprintf(stderr,
                   "tilewalk-pack from-png: nothing written; --nearest snaps each to its nearest "
                   "colour\n");
      return 1;
    }
    if (bad_count > 0) {
      std::fprintf(stderr,
                   "tilewalk-pack from-png: %s: snapped %zu pixel%s to the nearest colour\n",
                   in.c_str(), bad_count, bad_count == 1 ? "" : "s");
    }
  }
  if (!output_file_write(out, mem_text(picture.width, picture.height, indices), error)) {
    std::fprintf(stderr, "tilewalk-pack from-png: %s\n", error.c_str());
    return 1;
  }
  return 0;
}

}  // namespace pack
