// Drawing on the screen and on images against a model: random pixels, boxes,
// puts and grabs on, just inside and just outside every edge, with halves,
// NaN, infinities and huge coordinates, on screens of one, two and four bytes
// per pixel. After every operation the work page and every image must equal
// the model, the shown page must be untouched unless it is the work page, and
// exactly the rows drawn on the shown page must be marked for the window.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include "runtime/screen/boxes.h"
#include "runtime/screen/images.h"
#include "runtime/screen/pixels.h"
#include "runtime/screen/screen_lock.h"
#include "tests/support/screen_fixture.h"

namespace {

using namespace runtime;

constexpr int64_t OFF = int64_t{1} << 40;

// Nearest pixel, halves away from zero; without a pixel position, off that side.
int64_t to_pixel(float v) {
  const double r = std::round(double{v});
  return std::isnan(v) || r < INT32_MIN ? -OFF : r > INT32_MAX ? OFF : static_cast<int64_t>(r);
}

struct Picture {
  int64_t width = 0, height = 0;
  std::vector<uint32_t> pixels;
  bool inside(int64_t x, int64_t y) const { return x >= 0 && y >= 0 && x < width && y < height; }
  uint32_t& at(int64_t x, int64_t y) { return pixels[static_cast<size_t>(y * width + x)]; }
  bool operator==(const Picture&) const = default;
};

Picture read(const uint8_t* base, int64_t width, int64_t height, int64_t pitch, int64_t bpp) {
  Picture p{width, height, std::vector<uint32_t>(static_cast<size_t>(width * height))};
  for (int64_t i = 0; i < width * height; ++i) {
    std::memcpy(&p.pixels[static_cast<size_t>(i)], base + i / width * pitch + i % width * bpp,
                static_cast<size_t>(bpp));
  }
  return p;
}
Picture read(const ImageBuffer* i) {
  return read(reinterpret_cast<const uint8_t*>(i + 1), i->width, i->height, i->pitch,
              i->bytes_per_pixel);
}
Picture read_page(int32_t page) {
  return read(support::page(page), 320, 200, 320 * screen_current()->bytes_per_pixel,
              screen_current()->bytes_per_pixel);
}

class Drawing : public ::testing::TestWithParam<int32_t> {
 protected:
  void TearDown() override { screen_release(); }
  uint32_t next(uint32_t n = 0) {
    return n ? static_cast<uint32_t>(rng() % n) : static_cast<uint32_t>(rng());
  }
  float coordinate(int64_t span) {
    const float EDGES[] = {NAN,           INFINITY, -INFINITY, -1e20f,  3e9f,
                           2147483520.0f, -0.5f,    -0.49f,    319.49f, 319.5f};
    const int64_t BORDER[] = {-1, 0, 1, span - 2, span - 1, span};  // at both edges of the target
    const uint32_t pick = next(5);
    return pick == 0   ? EDGES[next(10)]
           : pick == 1 ? static_cast<float>(BORDER[next(6)])
                       : static_cast<float>(next(static_cast<uint32_t>(2 * span + 80))) / 2 - 20;
  }
  std::mt19937 rng{1};
};

TEST_P(Drawing, MatchesTheModel) {
  headless_install();
  ASSERT_EQ(screen_open(320, 200, GetParam(), 8, 0, 0), RESULT_OK);
  const int64_t bpp = screen_current()->bytes_per_pixel;
  const uint32_t mask = bpp == 4 ? ~0u : (1u << (8 * bpp)) - 1;
  const uint32_t fg = GetParam() == 32 ? ~0u : (1u << GetParam()) - 1, bg = fg & 0xFF000000u;
  for (int round = 0; round < (bpp == 1 ? 24 : 8); ++round) {
    const bool shown = round % 3 == 0;
    screen_set_pages(1, shown ? 1 : 0);
    ImageBuffer* images[3];
    Picture models[3];
    for (int k = 0; k < 3; ++k) {
      const int32_t w = k ? 1 + static_cast<int32_t>(next(40)) : 16,
                    h = k ? 1 + static_cast<int32_t>(next(20)) : 16;
      const uint32_t colour = next(), flags = next(2) << 31;
      images[k] = image_create(w, h, colour, 0, flags);
      models[k] = {w, h,
                   std::vector<uint32_t>(static_cast<size_t>(w * h), flags ? 0 : colour & mask)};
    }
    Picture page = read_page(1);
    const Picture other_page = read_page(0);
    for (int op = 0; op < 50; ++op) {
      const uint32_t t = next(5);  // 0..2 an image, else the screen
      ImageBuffer* target = t < 3 ? images[t] : nullptr;
      Picture& model = t < 3 ? models[t] : page;
      const float x1 = coordinate(model.width), y1 = coordinate(model.height);
      const float x2 = coordinate(model.width), y2 = coordinate(model.height);
      const int64_t ax = std::min(to_pixel(x1), to_pixel(x2)),
                    bx = std::max(to_pixel(x1), to_pixel(x2));
      const int64_t ay = std::min(to_pixel(y1), to_pixel(y2)),
                    by = std::max(to_pixel(y1), to_pixel(y2));
      const uint32_t colour = next(), s = next(3);
      const int32_t mode = std::array{-1, 0, 4}[next(3)], choice = static_cast<int32_t>(next(2));
      int64_t first = OFF, last = -OFF;  // rows the model drew on
      auto set = [&](int64_t x, int64_t y, uint32_t v) {
        model.at(x, y) = v & mask;
        first = std::min(first, y), last = std::max(last, y);
      };
      screen_lock();
      std::vector<uint8_t>& dirty = screen_current()->dirty_rows;
      std::fill(dirty.begin(), dirty.end(), uint8_t{0});
      switch (next(5)) {
        case 0: {
          pixel_set(target, x1, y1, colour, mode, choice);
          const int64_t x = to_pixel(x1), y = to_pixel(y1);
          if (model.inside(x, y)) set(x, y, mode < 0 ? (choice ? bg : fg) : colour);
          break;
        }
        case 1: {
          const int64_t x = to_pixel(x1), y = to_pixel(y1);
          const int64_t want =
              model.inside(x, y) ? int64_t{model.at(x, y) & (bpp == 4 ? 0xFFFFFFu : mask)} : -1;
          ASSERT_EQ(pixel_get(target, x1, y1), want) << x1 << "," << y1;
          break;
        }
        case 2: {
          const int32_t shape = mode < 0 ? 1 : 2 - choice;  // outline (solid or dashed) or filled
          const uint32_t style = mode == 0 ? 0xF0F0 : LINE_STYLE_SOLID;
          draw_line(target, x1, y1, x2, y2, colour, shape, style, mode);
          if (shape == 1 && style != LINE_STYLE_SOLID) break;
          for (int64_t y = std::max<int64_t>(ay, 0); y <= std::min(by, model.height - 1); ++y) {
            for (int64_t x = std::max<int64_t>(ax, 0); x <= std::min(bx, model.width - 1); ++x) {
              const bool edge = x == ax || x == bx || y == ay || y == by;
              if (shape == 2 || edge) set(x, y, mode < 0 ? fg : colour);
              first = std::min(first, y),
              last = std::max(last, y);  // the whole clipped box is marked
            }
          }
          break;
        }
        case 3: {
          int32_t c[4];  // source corners
          for (int32_t& v : c) v = next(3) ? static_cast<int32_t>(next(24)) - 3 : ARG_OMITTED;
          const int32_t rule = mode == 0 ? 0 : choice ? PUT_XOR : PUT_OR;
          const bool refused = rule == 0 || target == images[s];
          ASSERT_EQ(
              image_put(target, x1, y1, images[s], c[0], c[1], c[2], c[3], 0, rule, -1, nullptr, 0),
              refused ? RESULT_ILLEGAL_CALL : RESULT_OK);
          const Picture source = models[s];
          const auto corner = [](int32_t v, int64_t omitted) {
            return v == ARG_OMITTED ? omitted : v;
          };
          const int64_t u0 =
              std::max<int64_t>(std::min(corner(c[0], 0), corner(c[2], source.width - 1)), 0);
          const int64_t u1 =
              std::min(std::max(corner(c[0], 0), corner(c[2], source.width - 1)), source.width - 1);
          const int64_t v0 =
              std::max<int64_t>(std::min(corner(c[1], 0), corner(c[3], source.height - 1)), 0);
          const int64_t v1 = std::min(std::max(corner(c[1], 0), corner(c[3], source.height - 1)),
                                      source.height - 1);
          for (int64_t v = v0; v <= v1 && !refused; ++v) {
            for (int64_t u = u0; u <= u1; ++u) {
              const int64_t x = to_pixel(x1) + u - u0, y = to_pixel(y1) + v - v0;
              const uint32_t d = model.inside(x, y) ? model.at(x, y) : 0,
                             p = source.pixels[static_cast<size_t>(v * source.width + u)];
              if (model.inside(x, y)) set(x, y, rule == PUT_XOR ? d ^ p : d | p);
            }
          }
          break;
        }
        default: {
          const int64_t w = bx - ax + 1, h = by - ay + 1;
          const bool refused = target == images[s] || !model.inside(ax, ay) ||
                               !model.inside(bx, by) ||
                               ((w * bpp + 15) & ~15) * h > images[s]->capacity;
          ASSERT_EQ(image_grab(target, x1, y1, x2, y2, images[s], 0, nullptr),
                    refused ? RESULT_ILLEGAL_CALL : RESULT_OK);
          if (refused) break;
          Picture grabbed{w, h, {}};
          for (int64_t i = 0; i < w * h; ++i)
            grabbed.pixels.push_back(model.at(ax + i % w, ay + i / w));
          models[s] = grabbed;
        }
      }
      std::vector<uint8_t> want(200, 0);
      for (int64_t y = first; shown && !target && y <= last; ++y) want[static_cast<size_t>(y)] = 1;
      EXPECT_EQ(dirty, want);
      screen_unlock();
      SCOPED_TRACE("round " + std::to_string(round) + " operation " + std::to_string(op));
      ASSERT_EQ(read_page(1), page);
      ASSERT_TRUE(shown || read_page(0) == other_page);
      for (int k = 0; k < 3; ++k) ASSERT_EQ(read(images[k]), models[k]) << "image " << k;
    }
    for (ImageBuffer* image : images) image_release(image);
  }
}

INSTANTIATE_TEST_SUITE_P(Depths, Drawing, ::testing::Values(4, 16, 32));

TEST(Images, CreateRefusesWhatItCannotHoldAndHeadersNoDrawingCanTrust) {
  headless_install();
  EXPECT_EQ(image_create(16, 16, 0, 0, 0), nullptr);  // no screen
  ASSERT_EQ(screen_open(320, 200, 4, 8, 0, 0), RESULT_OK);
  struct Size {
    int32_t width, height, depth;
    uint32_t bytes_per_pixel, pitch;  // 0: refused
  };
  for (const Size c : {Size{20, 2, 0, 1, 32},
                       {16, 2, 0, 1, 16},
                       {3, 2, 8, 1, 16},
                       {9, 2, 16, 2, 32},
                       {3, 2, 15, 2, 16},
                       {5, 2, 32, 4, 32},
                       {0, 5, 0, 0, 0},
                       {5, 0, 0, 0, 0},
                       {5, -1, 0, 0, 0},
                       {4, 4, 24, 0, 0},
                       {4, 4, 33, 0, 0},
                       {65536, 65536, 0, 0, 0},
                       {INT32_MAX, 1, 32, 0, 0}}) {
    ImageBuffer* image = image_create(c.width, c.height, 0, c.depth, 0);
    EXPECT_EQ(image_last_result(), c.pitch ? RESULT_OK : RESULT_ILLEGAL_CALL) << c.width;
    EXPECT_EQ(image ? image->bytes_per_pixel * 1000 + image->pitch : 0,
              c.bytes_per_pixel * 1000 + c.pitch);
    EXPECT_EQ(image ? std::count(image->reserved, image->reserved + 8, 0) : 8, 8);  // zeroed
    image_release(image);
  }
  ImageBuffer* image = image_create(16, 16, 1, 0, 0);
  const auto SPOILS = {+[](ImageBuffer& i) { i.type = 3; }, +[](ImageBuffer& i) { i.pitch = 15; },
                       +[](ImageBuffer& i) { i.height = 17; },  // more rows than it holds
                       +[](ImageBuffer& i) { i.bytes_per_pixel = 3, i.width = 5; }};
  for (void (*spoil)(ImageBuffer&) : SPOILS) {
    const ImageBuffer saved = *image;
    spoil(*image);
    EXPECT_EQ(image_put(nullptr, 0, 0, image, ARG_OMITTED, ARG_OMITTED, ARG_OMITTED, ARG_OMITTED, 0,
                        PUT_OR, -1, nullptr, 0),
              RESULT_ILLEGAL_CALL);
    EXPECT_EQ(pixel_get(image, 0, 0), -1);
    *image = saved;
  }
  EXPECT_EQ(pixel_get(nullptr, 0, 0), 0);  // the screen still the target
  // Drawing on an image deeper than the screen fills whole pixels of its own
  // size; a grab makes it hold the screen's pixels, whatever it held before.
  ImageBuffer* wide = image_create(8, 8, 0, 16, 0);
  draw_line(wide, 0, 0, 7, 7, 0x1234, LINE_SHAPE_FILLED_BOX, LINE_STYLE_SOLID, 0);
  EXPECT_EQ(pixel_get(wide, 7, 7), 0x1234);
  ASSERT_EQ(image_grab(nullptr, 0, 0, 2, 2, wide, 0, nullptr), RESULT_OK);
  EXPECT_EQ(wide->bytes_per_pixel * 1000 + wide->pitch, 1016u);
  // A grab takes only its target's pixels: a box one pixel past any edge is refused.
  for (const float x : {-1.f, 0.f, 319.f, 320.f}) {
    for (const float y : {-1.f, 0.f, 199.f, 200.f}) {
      const bool inside = x >= 0 && x < 320 && y >= 0 && y < 200;
      EXPECT_EQ(image_grab(nullptr, x, y, x, y, wide, 0, nullptr),
                inside ? RESULT_OK : RESULT_ILLEGAL_CALL)
          << x << "," << y;
    }
  }
  image_release(wide);
  screen_release();
  EXPECT_EQ(image_put(nullptr, 0, 0, image, ARG_OMITTED, ARG_OMITTED, ARG_OMITTED, ARG_OMITTED, 0,
                      PUT_OR, -1, nullptr, 0),
            RESULT_ILLEGAL_CALL);  // images outlive the screen, but need one to be put on
  image_release(image);
}

}  // namespace
