#include "pack/png_file.h"

#include <png.h>

#include <array>
#include <csetjmp>
#include <cstring>
#include <fstream>
#include <iterator>

#include "pack/output_file.h"
#include "runtime/screen/paged_screen.h"

namespace pack {
namespace {

constexpr size_t SIGNATURE_SIZE = 8;
// No PNG within PNG_MAX_SIDE is near this; it only keeps a stray huge file
// from being read into memory whole.
constexpr std::streamoff MAX_FILE_SIZE = 256 << 20;
constexpr int PALETTE_SIZE = 256;
constexpr uint8_t OPAQUE = 255;

// What libpng's error callback leaves for the caller before it jumps back.
// A fixed buffer: the callback runs inside libpng's C frames.
struct PngContext {
  std::array<char, 200> message{};
  const std::string* input = nullptr;  // reading: the file's bytes
  size_t offset = 0;
  std::string* output = nullptr;  // writing: the PNG being made
};

PngContext& context_of(png_structp png) {
  return *static_cast<PngContext*>(png_get_error_ptr(png));
}

[[noreturn]] void on_error(png_structp png, png_const_charp message) {
  PngContext& context = context_of(png);
  std::snprintf(context.message.data(), context.message.size(), "%s", message);
  png_longjmp(png, 1);
}

void on_warning(png_structp, png_const_charp) {}

void read_bytes(png_structp png, png_bytep data, size_t length) {
  PngContext& context = *static_cast<PngContext*>(png_get_io_ptr(png));
  if (context.input->size() - context.offset < length) png_error(png, "the file ends early");
  std::memcpy(data, context.input->data() + context.offset, length);
  context.offset += length;
}

void write_bytes(png_structp png, png_bytep data, size_t length) {
  PngContext& context = *static_cast<PngContext*>(png_get_io_ptr(png));
  try {
    context.output->append(reinterpret_cast<const char*>(data), length);
  } catch (...) {
    png_error(png, "out of memory");
  }
}

void flush_bytes(png_structp) {}

bool read_whole_file(const std::string& path, std::string& bytes, std::string& error) {
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  if (!in) {
    error = path + ": cannot read the file";
    return false;
  }
  const std::streamoff size = in.tellg();
  if (size > MAX_FILE_SIZE) {
    error = path + ": too large for a picture";
    return false;
  }
  in.seekg(0);
  bytes.assign(std::istreambuf_iterator<char>(in), {});
  if (in.bad()) {
    error = path + ": cannot read the file";
    return false;
  }
  return true;
}

// The rows of the picture, decoded. All objects that own memory are made by
// the caller before libpng can jump, so a jump skips no destructor.
bool decode(png_structp png, png_infop info, PngPicture& picture, std::vector<png_bytep>& rows) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_user_limits(png, PNG_MAX_SIDE, PNG_MAX_SIDE);
  png_read_info(png, info);
  const png_byte colour_type = png_get_color_type(png, info);
  picture.width = png_get_image_width(png, info);
  picture.height = png_get_image_height(png, info);
  picture.indexed = colour_type == PNG_COLOR_TYPE_PALETTE;
  size_t bytes_per_pixel = 1;
  if (picture.indexed) {
    png_set_packing(png);  // 1, 2 and 4-bit indices become one byte each
    png_colorp colours = nullptr;
    int count = 0;
    if (png_get_PLTE(png, info, &colours, &count) != 0) {
      for (int i = 0; i < count; ++i) {
        picture.palette.push_back({colours[i].red, colours[i].green, colours[i].blue});
      }
    }
    png_bytep alpha = nullptr;
    int alpha_count = 0;
    if (png_get_tRNS(png, info, &alpha, &alpha_count, nullptr) != 0 && alpha != nullptr) {
      picture.alpha.assign(alpha, alpha + alpha_count);
    }
  } else {
    png_set_expand(png);  // low-bit grey to 8 bits, a tRNS colour to alpha
    png_set_strip_16(png);
    png_set_gray_to_rgb(png);
    png_set_add_alpha(png, OPAQUE, PNG_FILLER_AFTER);
    bytes_per_pixel = 4;
  }
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  std::vector<uint8_t>& pixels = picture.indexed ? picture.indices : picture.rgba;
  pixels.resize(size_t{picture.width} * picture.height * bytes_per_pixel);
  rows.resize(picture.height);
  for (uint32_t y = 0; y < picture.height; ++y) {
    rows[y] = pixels.data() + size_t{y} * picture.width * bytes_per_pixel;
  }
  png_read_image(png, rows.data());
  png_read_end(png, nullptr);
  return true;
}

bool encode(png_structp png, png_infop info, uint32_t width, uint32_t height,
            std::vector<png_bytep>& rows, const std::array<png_color, PALETTE_SIZE>& colours,
            const std::array<png_byte, PALETTE_SIZE>& alpha, int transparent_count) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_PALETTE, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_set_PLTE(png, info, colours.data(), PALETTE_SIZE);
  if (transparent_count > 0) png_set_tRNS(png, info, alpha.data(), transparent_count, nullptr);
  png_write_info(png, info);
  png_write_image(png, rows.data());
  png_write_end(png, nullptr);
  return true;
}

}  // namespace

Rgb screen_colour(uint8_t index) {
  const uint32_t rgb =
      index < runtime::DEFAULT_PALETTE.size() ? runtime::DEFAULT_PALETTE[index] : 0;
  return {static_cast<uint8_t>(rgb), static_cast<uint8_t>(rgb >> 8),
          static_cast<uint8_t>(rgb >> 16)};
}

bool png_read_file(const std::string& path, PngPicture& picture, std::string& error) {
  std::string bytes;
  if (!read_whole_file(path, bytes, error)) return false;
  if (bytes.size() < SIGNATURE_SIZE ||
      png_sig_cmp(reinterpret_cast<png_const_bytep>(bytes.data()), 0, SIGNATURE_SIZE) != 0) {
    error = path + ": not a PNG file";
    return false;
  }
  PngContext context;
  context.input = &bytes;
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &context, on_error, on_warning);
  png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
  if (info == nullptr) {
    png_destroy_read_struct(&png, nullptr, nullptr);
    error = path + ": out of memory";
    return false;
  }
  png_set_read_fn(png, &context, read_bytes);
  picture = PngPicture{};
  std::vector<png_bytep> rows;
  const bool ok = decode(png, info, picture, rows);
  png_destroy_read_struct(&png, &info, nullptr);
  if (!ok) error = path + ": cannot read the PNG: " + context.message.data();
  return ok;
}

bool png_write_indexed(const std::string& path, uint32_t width, uint32_t height,
                       const std::vector<uint8_t>& indices, int32_t transparent_index,
                       std::string& error) {
  std::array<png_color, PALETTE_SIZE> colours{};
  std::array<png_byte, PALETTE_SIZE> alpha{};
  for (int i = 0; i < PALETTE_SIZE; ++i) {
    const Rgb rgb = screen_colour(static_cast<uint8_t>(i));
    colours[static_cast<size_t>(i)] = {rgb.red, rgb.green, rgb.blue};
    alpha[static_cast<size_t>(i)] = i == transparent_index ? 0 : OPAQUE;
  }
  // tRNS lists alpha up to the last entry that is not opaque.
  const int transparent_count =
      transparent_index >= 0 && transparent_index < PALETTE_SIZE ? transparent_index + 1 : 0;

  std::string output;
  PngContext context;
  context.output = &output;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &context, on_error, on_warning);
  png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
  if (info == nullptr) {
    png_destroy_write_struct(&png, nullptr);
    error = path + ": out of memory";
    return false;
  }
  png_set_write_fn(png, &context, write_bytes, flush_bytes);
  std::vector<png_bytep> rows(height);
  for (uint32_t y = 0; y < height; ++y) {
    rows[y] = const_cast<png_bytep>(indices.data() + size_t{y} * width);
  }
  const bool ok = encode(png, info, width, height, rows, colours, alpha, transparent_count);
  png_destroy_write_struct(&png, &info);
  if (!ok) {
    error = path + ": cannot make the PNG: " + context.message.data();
    return false;
  }
  return output_file_write(path, output, error);
}

}  // namespace pack
