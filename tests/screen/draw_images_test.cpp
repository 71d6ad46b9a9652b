// ImageBuffer creation and layout, grabs and their refusals, and puts with
// both byte rules at every edge and corner, checked against a per-pixel model.
#include <cstdint>
#include <limits>
#include <string>

#include "runtime/screen/draw_state.h"
#include "runtime/screen/images.h"
#include "runtime/screen/pixels.h"
#include "tests/screen/draw_fixture.h"

namespace runtime::draw_test {
namespace {

constexpr float NaN = std::numeric_limits<float>::quiet_NaN();
constexpr float INF = std::numeric_limits<float>::infinity();

std::vector<uint8_t> image_bytes(ImageBuffer* image) {
  const uint8_t* p = image_pixels(image);
  return std::vector<uint8_t>(p, p + image->capacity);
}

ImageBuffer header_of(const ImageBuffer* image) { return *image; }

bool same_header(const ImageBuffer& a, const ImageBuffer& b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
}

// A 16 x 16 image whose bytes include 0 and 0xFF: source byte for (u, v).
uint8_t tile(int32_t u, int32_t v) { return static_cast<uint8_t>((u * 37 + v * 101) & 0xFF); }

ImageBuffer* make_tile() {
  ImageBuffer* image = image_create(16, 16, 0, 0, 0);
  for (int32_t v = 0; v < 16; ++v)
    for (int32_t u = 0; u < 16; ++u) image_pixels(image)[v * 16 + u] = tile(u, v);
  return image;
}

// --- creation ---------------------------------------------------------------

TEST(ImageCreateWithoutScreen, ReturnsNull) {
  screen_release();
  EXPECT_EQ(image_create(16, 16, 0, 0, 0), nullptr);
  EXPECT_EQ(image_last_result(), RESULT_ILLEGAL_CALL);
}

struct CreateCase {
  int32_t width, height, depth;
  uint32_t bytes_per_pixel, pitch;  // bytes_per_pixel 0: refused
};

class ImageCreate : public DrawTest, public ::testing::WithParamInterface<CreateCase> {};

TEST_P(ImageCreate, LaysOutTheHeaderOrRefuses) {
  const CreateCase c = GetParam();
  ImageBuffer* image = image_create(c.width, c.height, 0, c.depth, 0);
  if (c.bytes_per_pixel == 0) {
    EXPECT_EQ(image, nullptr);
    EXPECT_EQ(image_last_result(), RESULT_ILLEGAL_CALL);
    return;
  }
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(image_last_result(), RESULT_OK);
  EXPECT_EQ(reinterpret_cast<uintptr_t>(image) % 16, 0u);
  EXPECT_EQ(image->type, 7u);
  EXPECT_EQ(image->bytes_per_pixel, c.bytes_per_pixel);
  EXPECT_EQ(image->width, static_cast<uint32_t>(c.width));
  EXPECT_EQ(image->height, static_cast<uint32_t>(c.height));
  EXPECT_EQ(image->pitch, c.pitch);
  EXPECT_EQ(image->capacity, c.pitch * static_cast<uint32_t>(c.height));
  for (uint8_t b : image->reserved) EXPECT_EQ(b, 0);
  const auto bytes = image_bytes(image);
  EXPECT_EQ(std::count(bytes.begin(), bytes.end(), 0), static_cast<long>(bytes.size()));
  // The origin slot just before the header holds the start of the block,
  // which lies no further back than the padding allows.
  uintptr_t origin = 0;
  std::memcpy(&origin, reinterpret_cast<uint8_t*>(image) - 8, 8);
  const auto header = reinterpret_cast<uintptr_t>(image);
  EXPECT_LE(origin, header - 8);
  EXPECT_LE(header - origin, 8u + 15u);
  image_release(image);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ImageCreate,
    ::testing::Values(
        CreateCase{16, 16, 0, 1, 16}, CreateCase{64, 32, 0, 1, 64}, CreateCase{20, 2, 0, 1, 32},
        CreateCase{1, 1, 0, 1, 16}, CreateCase{17, 3, 4, 1, 32}, CreateCase{3, 2, 8, 1, 16},
        CreateCase{9, 2, 16, 2, 32}, CreateCase{3, 2, 15, 2, 16}, CreateCase{5, 2, 32, 4, 32},
        CreateCase{0, 5, 0, 0, 0}, CreateCase{5, 0, 0, 0, 0}, CreateCase{-1, 5, 0, 0, 0},
        CreateCase{5, INT32_MIN, 0, 0, 0}, CreateCase{4, 4, 24, 0, 0}, CreateCase{4, 4, 17, 0, 0},
        CreateCase{4, 4, 33, 0, 0}, CreateCase{4, 4, INT32_MAX, 0, 0},
        // Pixel bytes past what the header's 32-bit words can hold.
        CreateCase{INT32_MAX, INT32_MAX, 0, 0, 0}, CreateCase{65536, 65536, 0, 0, 0},
        CreateCase{INT32_MAX, 2, 0, 0, 0}, CreateCase{INT32_MAX, 1, 32, 0, 0}));

TEST_F(DrawTest, CreateFillsRowSlackWithTheColourOrTransparent) {
  ImageBuffer* plain = image_create(4, 2, 0x1AB, 0, 0);
  auto bytes = image_bytes(plain);
  EXPECT_EQ(std::count(bytes.begin(), bytes.end(), 0xAB), 32);
  ImageBuffer* transparent = image_create(4, 2, 0x1AB, 0, 0x80000000u);
  bytes = image_bytes(transparent);
  EXPECT_EQ(std::count(bytes.begin(), bytes.end(), 0), 32);
  ImageBuffer* wide = image_create(3, 1, 0x1ABCD, 16, 0);
  uint16_t pixel = 0;
  for (int i = 0; i < 8; ++i) {
    std::memcpy(&pixel, image_pixels(wide) + 2 * i, 2);
    EXPECT_EQ(pixel, 0xABCD);
  }
  image_release(plain);
  image_release(transparent);
  image_release(wide);
}

// --- grab -------------------------------------------------------------------

struct GrabCase {
  std::string name;
  float x1, y1, x2, y2;
  int32_t result;
  int32_t left = 0, top = 0, width = 0, height = 0;  // the grabbed rectangle on success
};

class ImageGrab : public DrawTest, public ::testing::WithParamInterface<GrabCase> {};

TEST_P(ImageGrab, CopiesTheRectangleOrLeavesTheImageAlone) {
  const GrabCase& c = GetParam();
  ImageBuffer* image = image_create(16, 16, 0x77, 0, 0);
  const ImageBuffer header = header_of(image);
  const auto before = image_bytes(image);
  const auto page_before = snapshot(1);
  ASSERT_EQ(image_grab(nullptr, c.x1, c.y1, c.x2, c.y2, image, 0, nullptr), c.result);
  EXPECT_TRUE(same_page(page_before, snapshot(1)));
  if (c.result != RESULT_OK) {
    EXPECT_TRUE(same_header(header, *image));
    EXPECT_EQ(before, image_bytes(image));
  } else {
    EXPECT_EQ(image->width, static_cast<uint32_t>(c.width));
    EXPECT_EQ(image->height, static_cast<uint32_t>(c.height));
    EXPECT_EQ(image->pitch, (static_cast<uint32_t>(c.width) + 15) / 16 * 16);
    EXPECT_EQ(image->capacity, 256u);
    const uint8_t* px = image_pixels(image);
    for (int32_t v = 0; v < c.height; ++v) {
      for (uint32_t u = 0; u < image->pitch; ++u) {
        const uint8_t want = static_cast<int32_t>(u) < c.width
                                 ? pattern(c.left + static_cast<int32_t>(u), c.top + v)
                                 : uint8_t{0x77};  // row slack is not written
        ASSERT_EQ(px[v * image->pitch + u], want) << "(" << u << ", " << v << ")";
      }
    }
  }
  image_release(image);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ImageGrab,
    ::testing::Values(
        GrabCase{"TopLeft", 0, 0, 15, 15, 0, 0, 0, 16, 16},
        GrabCase{"CornersSwapped", 15, 15, 0, 0, 0, 0, 0, 16, 16},
        GrabCase{"BottomRightCorner", 304, 184, 319, 199, 0, 304, 184, 16, 16},
        GrabCase{"Smaller", 3, 5, 10, 8, 0, 3, 5, 8, 4},
        GrabCase{"OnePixel", 7, 7, 7, 7, 0, 7, 7, 1, 1},
        GrabCase{"Rounded", -0.4f, 0.5f, 14.5f, 15.49f, 0, 0, 1, 16, 15},
        // Wider and flatter, but the same 256 bytes: fits.
        GrabCase{"SameCapacity", 0, 0, 31, 7, 0, 0, 0, 32, 8},
        GrabCase{"PastRightEdge", 310, 0, 325, 15, 1}, GrabCase{"PastLeftEdge", -1, 0, 14, 15, 1},
        GrabCase{"PastTopEdge", 0, -1, 15, 14, 1}, GrabCase{"PastBottomEdge", 0, 190, 15, 200, 1},
        GrabCase{"RoundsOffTheLeft", -0.5f, 0, 14, 15, 1}, GrabCase{"NaNCorner", NaN, 0, 15, 15, 1},
        GrabCase{"InfiniteCorner", 0, 0, 15, INF, 1},
        // More bytes than the image holds: would write past its allocation.
        GrabCase{"WiderThanCapacity", 0, 0, 16, 15, 1},
        GrabCase{"TallerThanCapacity", 0, 0, 15, 16, 1}, GrabCase{"WholePage", 0, 0, 319, 199, 1}),
    [](const auto& info) { return info.param.name; });

TEST_F(DrawTest, GrabHonoursTheSizeLimitBeforeTouchingTheImage) {
  ImageBuffer* image = image_create(16, 16, 0x77, 0, 0);
  const ImageBuffer header = header_of(image);
  const int64_t tight = 255;
  const int64_t enough = 256;
  EXPECT_EQ(image_grab(nullptr, 0, 0, 15, 15, image, 0, &tight), RESULT_ILLEGAL_CALL);
  EXPECT_TRUE(same_header(header, *image));
  EXPECT_EQ(image_pixels(image)[0], 0x77);
  EXPECT_EQ(image_grab(nullptr, 0, 0, 15, 15, image, 0, &enough), RESULT_OK);
  EXPECT_EQ(image_pixels(image)[0], pattern(0, 0));
  image_release(image);
}

TEST_F(DrawTest, GrabRefusesNullSelfAndNoScreen) {
  ImageBuffer* image = image_create(16, 16, 0, 0, 0);
  EXPECT_EQ(image_grab(nullptr, 0, 0, 1, 1, nullptr, 0, nullptr), RESULT_ILLEGAL_CALL);
  EXPECT_EQ(image_grab(image, 0, 0, 1, 1, image, 0, nullptr), RESULT_ILLEGAL_CALL);
  screen_release();
  EXPECT_EQ(image_grab(nullptr, 0, 0, 1, 1, image, 0, nullptr), RESULT_ILLEGAL_CALL);
  image_release(image);
}

TEST_F(DrawTest, GrabFromAnImageTarget) {
  ImageBuffer* source = make_tile();
  ImageBuffer* image = image_create(16, 16, 0, 0, 0);
  EXPECT_EQ(image_grab(source, 2, 3, 5, 4, image, 0, nullptr), RESULT_OK);
  EXPECT_EQ(image->width, 4u);
  EXPECT_EQ(image_pixels(image)[0], tile(2, 3));
  EXPECT_EQ(image_pixels(image)[16 + 3], tile(5, 4));
  EXPECT_EQ(image_grab(source, 0, 0, 16, 0, image, 0, nullptr), RESULT_ILLEGAL_CALL);
  image_release(source);
  image_release(image);
}

// --- put --------------------------------------------------------------------

struct PutCase {
  std::string name;
  float x, y;
  int32_t px, py;  // where the image's top-left pixel lands
  bool draws;
};

std::vector<PutCase> put_cases() {
  return {
      {"Inside", 40, 30, 40, 30, true},
      {"TopLeftOfPage", 0, 0, 0, 0, true},
      {"AtRightEdge", 312, 0, 312, 0, true},
      {"ThroughTopLeftCorner", -8, -8, -8, -8, true},
      {"ThroughTopRightCorner", 310, -4, 310, -4, true},
      {"ThroughBottomLeftCorner", -3, 190, -3, 190, true},
      {"ThroughBottomRightCorner", 310, 190, 310, 190, true},
      {"FillsBottomRightCorner", 304, 184, 304, 184, true},
      {"OneColumnLeft", -15, 0, -15, 0, true},
      {"OneRowBelow", 0, 199, 0, 199, true},
      {"RoundedIn", 2.5f, -0.5f, 3, -1, true},
      {"JustRightOfPage", 320, 0, 320, 0, false},
      {"JustLeftOfPage", -16, 0, -16, 0, false},
      {"JustAbovePage", 0, -16, 0, -16, false},
      {"JustBelowPage", 0, 200, 0, 200, false},
      {"RoundsOffTheRight", 319.5f, 0, 320, 0, false},
      {"NaN", NaN, 0, 0, 0, false},
      {"Infinite", 0, INF, 0, 0, false},
      {"HugeNegative", -3e9f, 0, 0, 0, false},
  };
}

class ImagePut : public DrawTest,
                 public ::testing::WithParamInterface<std::tuple<PutCase, int32_t>> {};

TEST_P(ImagePut, CombinesTheVisiblePartByteByByte) {
  const auto& [c, mode] = GetParam();
  ImageBuffer* image = make_tile();
  EXPECT_EQ(image_put(nullptr, c.x, c.y, image, ARG_OMITTED, ARG_OMITTED, ARG_OMITTED, ARG_OMITTED,
                      0, mode, -1, nullptr, 0),
            RESULT_OK);
  const auto want = expected_page([&](int32_t x, int32_t y, uint8_t old) {
    const int32_t u = x - c.px;
    const int32_t v = y - c.py;
    if (!c.draws || u < 0 || u >= 16 || v < 0 || v >= 16) return old;
    return static_cast<uint8_t>(mode == PUT_XOR ? old ^ tile(u, v) : old | tile(u, v));
  });
  EXPECT_TRUE(same_page(want, snapshot(1)));
  image_release(image);
}

INSTANTIATE_TEST_SUITE_P(EdgesCornersAndRounding, ImagePut,
                         ::testing::Combine(::testing::ValuesIn(put_cases()),
                                            ::testing::Values(PUT_XOR, PUT_OR)),
                         [](const auto& info) {
                           return std::get<0>(info.param).name +
                                  (std::get<1>(info.param) == PUT_XOR ? "Xor" : "Or");
                         });

TEST_F(DrawTest, WideClippedPutCombinesEveryByteOfEachRow) {
  // 37 columns clipped to 34: two whole 16-byte blocks and a short tail per row.
  ImageBuffer* image = image_create(37, 3, 0, 0, 0);
  for (int32_t v = 0; v < 3; ++v)
    for (int32_t u = 0; u < 37; ++u) image_pixels(image)[v * 48 + u] = tile(u, v);
  image_put(nullptr, -3, 5, image, ARG_OMITTED, ARG_OMITTED, ARG_OMITTED, ARG_OMITTED, 0, PUT_XOR,
            -1, nullptr, 0);
  const auto want = expected_page([&](int32_t x, int32_t y, uint8_t old) {
    const int32_t u = x + 3;
    const int32_t v = y - 5;
    if (u >= 37 || v < 0 || v >= 3) return old;
    return static_cast<uint8_t>(old ^ tile(u, v));
  });
  EXPECT_TRUE(same_page(want, snapshot(1)));
  image_release(image);
}

TEST_F(DrawTest, PutRulesCombineWholeBytes) {
  ImageBuffer* image = image_create(1, 1, 3, 0, 0);
  struct Rule {
    int32_t mode;
    uint8_t destination, result;
  };
  for (const Rule r : {Rule{PUT_XOR, 5, 6}, Rule{PUT_OR, 5, 7}, Rule{PUT_XOR, 0, 3},
                       Rule{PUT_OR, 0, 3}, Rule{PUT_XOR, 0xF3, 0xF0}, Rule{PUT_OR, 0xF0, 0xF3}}) {
    pixel_set(nullptr, 0, 0, r.destination, 4, 0);
    image_put(nullptr, 0, 0, image, ARG_OMITTED, ARG_OMITTED, ARG_OMITTED, ARG_OMITTED, 0, r.mode,
              -1, nullptr, 0);
    EXPECT_EQ(pixel_get(nullptr, 0, 0), r.result) << r.mode << " " << int{r.destination};
  }
  image_release(image);
}

TEST_F(DrawTest, XorPutTwiceRestoresThePage) {
  ImageBuffer* image = make_tile();
  const auto before = snapshot(1);
  for (int i = 0; i < 2; ++i) {
    image_put(nullptr, -5, 190, image, ARG_OMITTED, ARG_OMITTED, ARG_OMITTED, ARG_OMITTED, 0,
              PUT_XOR, -1, nullptr, 0);
  }
  EXPECT_TRUE(same_page(before, snapshot(1)));
  image_release(image);
}

TEST_F(DrawTest, PutRefusals) {
  ImageBuffer* image = make_tile();
  ImageBuffer* wide = image_create(4, 4, 1, 16, 0);
  auto put = [](ImageBuffer* target, ImageBuffer* source, int32_t mode) {
    return image_put(target, 0, 0, source, ARG_OMITTED, ARG_OMITTED, ARG_OMITTED, ARG_OMITTED, 0,
                     mode, -1, nullptr, 0);
  };
  const auto before = snapshot(1);
  EXPECT_EQ(put(nullptr, nullptr, PUT_XOR), RESULT_ILLEGAL_CALL);
  EXPECT_EQ(put(nullptr, wide, PUT_XOR), RESULT_ILLEGAL_CALL);  // two bytes per pixel
  EXPECT_EQ(put(nullptr, image, 0), RESULT_ILLEGAL_CALL);
  EXPECT_EQ(put(image, image, PUT_XOR), RESULT_ILLEGAL_CALL);
  image->type = 6;
  EXPECT_EQ(put(nullptr, image, PUT_XOR), RESULT_ILLEGAL_CALL);
  image->type = 7;
  image->height = 17;  // more rows than the allocation holds
  EXPECT_EQ(put(nullptr, image, PUT_XOR), RESULT_ILLEGAL_CALL);
  image->height = 16;
  EXPECT_TRUE(same_page(before, snapshot(1)));
  screen_release();
  EXPECT_EQ(put(nullptr, image, PUT_XOR), RESULT_ILLEGAL_CALL);
  image_release(image);
  image_release(wide);
}

TEST_F(DrawTest, PutSourceRectangleSelectsPartOfTheImage) {
  ImageBuffer* image = make_tile();
  // Corners in either order; the part past the image's edge is dropped.
  image_put(nullptr, 100, 50, image, 20, 5, 4, 3, 0, PUT_XOR, -1, nullptr, 0);
  const auto want = expected_page([&](int32_t x, int32_t y, uint8_t old) {
    const int32_t u = x - 100 + 4;
    const int32_t v = y - 50 + 3;
    if (u < 4 || u > 15 || v < 3 || v > 5) return old;
    return static_cast<uint8_t>(old ^ tile(u, v));
  });
  EXPECT_TRUE(same_page(want, snapshot(1)));
  image_release(image);
}

TEST_F(DrawTest, PutOntoAnImageClipsToIt) {
  ImageBuffer* small = image_create(8, 4, 0, 0, 0);
  ImageBuffer* image = make_tile();
  EXPECT_EQ(image_put(small, -2, 1, image, ARG_OMITTED, ARG_OMITTED, ARG_OMITTED, ARG_OMITTED, 0,
                      PUT_OR, -1, nullptr, 0),
            RESULT_OK);
  const uint8_t* px = image_pixels(small);
  for (int32_t v = 0; v < 4; ++v) {
    for (int32_t u = 0; u < 16; ++u) {
      const uint8_t want = u < 8 && v >= 1 ? tile(u + 2, v - 1) : uint8_t{0};
      EXPECT_EQ(px[v * 16 + u], want) << u << "," << v;
    }
  }
  image_release(small);
  image_release(image);
}

TEST_F(DrawTest, ImagesOutliveTheScreen) {
  ImageBuffer* image = make_tile();
  screen_release();
  ASSERT_EQ(screen_open(W, H, 4, 8, 0, 0), RESULT_OK);
  EXPECT_EQ(image_put(nullptr, 0, 0, image, ARG_OMITTED, ARG_OMITTED, ARG_OMITTED, ARG_OMITTED, 0,
                      PUT_OR, -1, nullptr, 0),
            RESULT_OK);
  EXPECT_EQ(pixel_get(nullptr, 1, 0), tile(1, 0));
  image_release(image);
}

}  // namespace
}  // namespace runtime::draw_test
