// The DrawState as the primitives use it: target selection and restoring the
// screen, rebuilding for a new screen, and dirty-row marking only when the
// work page is the visible page (and then reaching the window).
#include "runtime/screen/draw_state.h"
#include "runtime/screen/boxes.h"
#include "runtime/screen/images.h"
#include "runtime/screen/pixels.h"
#include "tests/screen/draw_fixture.h"

namespace runtime::draw_test {
namespace {

TEST_F(DrawTest, ImageTargetThenScreenRestoresRowsAndClip) {
  screen_set_pages(3, 0);
  ImageBuffer* image = image_create(24, 5, 0, 0, 0);  // fills through the image as target
  DrawState& s = draw_state();
  EXPECT_EQ(s.target, image);
  EXPECT_EQ(s.clip.width, 24);
  EXPECT_EQ(s.clip.height, 5);
  EXPECT_EQ(s.pitch, 32);
  ASSERT_EQ(s.rows.size(), 5u);
  EXPECT_EQ(s.rows[4], image_pixels(image) + 4 * 32);

  // Drawing on the image is clipped to the image, not to the screen.
  pixel_set(image, 30, 2, 9, 4, 0);
  EXPECT_EQ(pixel_get(image, 30, 2), -1);
  pixel_set(image, 23, 4, 9, 4, 0);
  EXPECT_EQ(image_pixels(image)[4 * 32 + 23], 9);

  EXPECT_EQ(pixel_get(nullptr, 30, 2), 0);  // page 3 is still all 0
  EXPECT_EQ(s.target, nullptr);
  EXPECT_EQ(s.work_page, 3);
  EXPECT_EQ(s.clip.x, 0);
  EXPECT_EQ(s.clip.y, 0);
  EXPECT_EQ(s.clip.width, W);
  EXPECT_EQ(s.clip.height, H);
  EXPECT_EQ(s.pitch, W);
  ASSERT_EQ(s.rows.size(), static_cast<size_t>(H));
  for (int32_t y = 0; y < H; ++y) ASSERT_EQ(s.rows[y], page(3) + y * W) << y;
  image_release(image);
}

TEST_F(DrawTest, ReleasingTheTargetImageLeavesTheScreenSelected) {
  ImageBuffer* image = image_create(8, 8, 0, 0, 0);
  image_release(image);
  EXPECT_EQ(draw_state().target, nullptr);
  EXPECT_EQ(draw_state().rows[0], page(1));
}

TEST_F(DrawTest, ABadImageHeaderLeavesTheStateAlone) {
  ImageBuffer* image = image_create(8, 8, 0, 0, 0);
  pixel_get(nullptr, 0, 0);
  image->bytes_per_pixel = 3;
  pixel_set(image, 0, 0, 1, 4, 0);
  EXPECT_EQ(pixel_get(image, 0, 0), -1);
  EXPECT_EQ(draw_state().target, nullptr);
  image->bytes_per_pixel = 1;
  image_release(image);
}

TEST_F(DrawTest, ANewScreenRebuildsTheState) {
  screen_set_pages(5, 0);
  draw_state().foreground = 3;
  screen_release();
  ASSERT_EQ(screen_open(64, 48, 4, 2, 0, 0), RESULT_OK);
  const DrawState& s = draw_state();
  EXPECT_EQ(s.screen_id, screen_current()->id);
  EXPECT_EQ(s.work_page, 0);
  EXPECT_EQ(s.foreground, 15u);
  EXPECT_EQ(s.background, 0u);
  EXPECT_EQ(s.clip.width, 64);
  EXPECT_EQ(s.clip.height, 48);
  EXPECT_EQ(pixel_get(nullptr, 63, 47), 0);
  EXPECT_EQ(pixel_get(nullptr, 64, 0), -1);
  draw_line(nullptr, 0, 0, 1000, 1000, 4, 2, 0, 0);
  EXPECT_EQ(pixel_get(nullptr, 63, 47), 4);
}

// One call of each primitive, and the rows it must mark when it draws on the
// visible page.
struct MarkCase {
  std::string name;
  std::function<void()> draw;
  int32_t first, last;  // -1: none
};

ImageBuffer* shared_tile() {
  static ImageBuffer* tile = nullptr;
  if (!tile) tile = image_create(16, 16, 1, 0, 0);
  return tile;
}

std::vector<MarkCase> mark_cases() {
  auto put = [](float x, float y) {
    return [x, y] {
      image_put(nullptr, x, y, shared_tile(), ARG_OMITTED, ARG_OMITTED, ARG_OMITTED, ARG_OMITTED, 0,
                PUT_XOR, -1, nullptr, 0);
    };
  };
  return {
      {"Pixel", [] { pixel_set(nullptr, 3, 77, 1, 4, 0); }, 77, 77},
      {"PixelOffPage", [] { pixel_set(nullptr, 3, 200, 1, 4, 0); }, -1, -1},
      {"PixelGet", [] { pixel_get(nullptr, 3, 7); }, -1, -1},
      {"Outline", [] { draw_line(nullptr, 5, 10, 40, 20, 1, 1, 0xFFFF, 0); }, 10, 20},
      {"OutlineClipped", [] { draw_line(nullptr, 5, -10, 40, 20, 1, 1, 0xFFFF, 0); }, 0, 20},
      {"Filled", [] { draw_line(nullptr, 5, 190, 40, 220, 1, 2, 0, 0); }, 190, 199},
      {"FilledOffPage", [] { draw_line(nullptr, 5, 200, 40, 220, 1, 2, 0, 0); }, -1, -1},
      {"Put", put(10, 30), 30, 45},
      {"PutClipped", put(10, -8), 0, 7},
      {"PutOffPage", put(320, 0), -1, -1},
      {"Grab", [] { image_grab(nullptr, 0, 0, 15, 15, shared_tile(), 0, nullptr); }, -1, -1},
  };
}

class Marking : public DrawTest, public ::testing::WithParamInterface<MarkCase> {};

TEST_P(Marking, OnlyWhenTheWorkPageIsVisible) {
  const MarkCase& c = GetParam();
  shared_tile();
  // Work page 1, visible 0: the window's page is untouched and nothing is marked.
  const auto visible_before = snapshot(0);
  auto flags = rows_marked_by(c.draw);
  EXPECT_EQ(std::count(flags.begin(), flags.end(), 1), 0);
  EXPECT_EQ(visible_before, snapshot(0));

  screen_set_pages(0, 0);
  flags = rows_marked_by(c.draw);
  for (int32_t y = 0; y < H; ++y) {
    EXPECT_EQ(flags[y], (y >= c.first && y <= c.last) ? 1 : 0) << "row " << y;
  }
}

INSTANTIATE_TEST_SUITE_P(EachPrimitive, Marking, ::testing::ValuesIn(mark_cases()),
                         [](const auto& info) { return info.param.name; });

TEST_F(DrawTest, DrawingOnAnImageMarksNothingEvenOnTheVisiblePage) {
  screen_set_pages(0, 0);
  ImageBuffer* image = image_create(16, 16, 0, 0, 0);
  const auto flags = rows_marked_by([&] {
    pixel_set(image, 1, 1, 3, 4, 0);
    draw_line(image, 0, 0, 15, 15, 3, 2, 0, 0);
    image_put(image, 0, 0, shared_tile(), ARG_OMITTED, ARG_OMITTED, ARG_OMITTED, ARG_OMITTED, 0,
              PUT_OR, -1, nullptr, 0);
  });
  EXPECT_EQ(std::count(flags.begin(), flags.end(), 1), 0);
  image_release(image);
}

TEST_F(DrawTest, DrawingOnTheVisiblePageReachesTheWindow) {
  screen_set_pages(0, 0);
  draw_line(nullptr, 0, 0, 319, 199, 0, 2, 0, 0);
  draw_line(nullptr, 10, 20, 30, 40, 14, 1, 0xFFFF, 0);
  pixel_set(nullptr, 100, 150, 9, 4, 0);
  headless_wait_ticks(2);
  const auto shown = headless_shown_indices();
  ASSERT_EQ(shown.size(), static_cast<size_t>(W * H));
  for (int32_t y = 0; y < H; ++y) {
    for (int32_t x = 0; x < W; ++x) {
      const bool edge = ((x == 10 || x == 30) && y >= 20 && y <= 40) ||
                        ((y == 20 || y == 40) && x >= 10 && x <= 30);
      const int32_t want = edge ? 14 : (x == 100 && y == 150 ? 9 : 0);
      ASSERT_EQ(shown[y * W + x], want) << x << "," << y;
    }
  }
}

TEST_F(DrawTest, DrawingOnTheWorkPageStaysOutOfTheWindow) {
  headless_wait_ticks(2);
  const auto before = headless_shown_indices();
  draw_line(nullptr, 0, 0, 319, 199, 12, 2, 0, 0);
  headless_wait_ticks(2);
  EXPECT_EQ(before, headless_shown_indices());
}

}  // namespace
}  // namespace runtime::draw_test
