// load_mem_image end to end on the headless screen: files written here in a
// temporary directory are plotted on the work page and grabbed, and what the
// picture, the work page and the file table hold afterwards is checked whole.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "game/loader.h"
#include "layouts.h"
#include "runtime/files/file_table.h"
#include "runtime/files/item_reader.h"
#include "runtime/screen/image_buffer.h"
#include "runtime/screen/images.h"
#include "runtime/screen/paged_screen.h"
#include "runtime/screen/screen_lock.h"
#include "runtime/screen/screen_open.h"
#include "runtime/text/text_output.h"
#include "runtime/window/headless_back_end.h"
#include "temp_files.h"

namespace {

using namespace runtime;
using Pixels = std::vector<uint8_t>;

constexpr int32_t W = 320;
constexpr int32_t H = 200;
constexpr int32_t WORK = 1;

class LoaderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.ok());
    headless_install();
    ASSERT_EQ(screen_open(W, H, 4, 8, 0, 0), RESULT_OK);
    screen_set_pages(WORK, 0);
    text_view(1, 25);
    text_colour(15, 0, 0);
    // Something on the work page that each load must clear away.
    screen_lock();
    uint8_t* page = screen_page(*screen_current(), WORK);
    for (int32_t i = 0; i < W * H; ++i) page[i] = static_cast<uint8_t>(1 + i % 200);
    screen_unlock();
    ASSERT_EQ(text_file_free_number(), 1);
  }
  void TearDown() override {
    for (int32_t n = FILE_NUMBER_FIRST; n <= FILE_NUMBER_LAST; ++n) text_file_close(n);
    for (ImageBuffer* image : made_) image_release(image);
    screen_release();
  }

  // The game keeps its pictures for the whole run; a test gives them back.
  void load_into(const char* path, int32_t width, int32_t height, ImageBuffer*& slot) {
    game::load_mem_image(path, width, height, slot);
    made_.push_back(slot);
  }

  ImageBuffer* load(const std::string& path, int32_t width, int32_t height) {
    ImageBuffer* slot = nullptr;
    load_into(path.c_str(), width, height, slot);
    EXPECT_EQ(text_file_free_number(), 1) << "the load left its file open";
    return slot;
  }

  static Pixels work_page() {
    const uint8_t* page = screen_page(*screen_current(), WORK);
    return Pixels(page, page + W * H);
  }

  // The picture's pixels in reading order.
  static Pixels picture(ImageBuffer* image) {
    Pixels out;
    for (uint32_t y = 0; y < image->height; ++y) {
      const uint8_t* row = image_pixels(image) + y * image->pitch;
      out.insert(out.end(), row, row + image->width);
    }
    return out;
  }

  // What the work page must hold after a load: `expected` at the top-left,
  // colour 0 everywhere else.
  static Pixels page_with(const Pixels& expected, int32_t width) {
    Pixels page(W * H, 0);
    for (size_t i = 0; i < expected.size(); ++i) {
      page[(i / static_cast<size_t>(width)) * W + i % static_cast<size_t>(width)] = expected[i];
    }
    return page;
  }

  void expect_loaded(ImageBuffer* image, const Pixels& expected, int32_t width, int32_t height) {
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->width, static_cast<uint32_t>(width));
    EXPECT_EQ(image->height, static_cast<uint32_t>(height));
    EXPECT_EQ(picture(image), expected);
    EXPECT_EQ(work_page(), page_with(expected, width));
  }

  std::string items(int count, int first = 1) {
    std::string text;
    for (int i = 0; i < count; ++i)
      text += std::to_string((first + i) % 16) + (i % 16 == 15 ? "\n" : ",");
    return text;
  }
  static Pixels counting(size_t count, size_t present, int first = 1) {
    Pixels out(count, 0);
    for (size_t i = 0; i < present && i < count; ++i)
      out[i] = static_cast<uint8_t>((first + static_cast<int>(i)) % 16);
    return out;
  }

  files_test::TempDir dir;
  std::vector<ImageBuffer*> made_;
};

TEST_F(LoaderTest, FullFile) {
  expect_loaded(load(dir.write("full.mem", items(256)), 16, 16), counting(256, 256), 16, 16);
}

TEST_F(LoaderTest, MissingFileIsBlankAndTheNextLoadStillReadsItsFile) {
  expect_loaded(load(dir.path("missing.mem"), 16, 16), Pixels(256, 0), 16, 16);
  expect_loaded(load(dir.write("next.mem", items(256, 3)), 16, 16), counting(256, 256, 3), 16, 16);
}

TEST_F(LoaderTest, DirectoryIsBlank) {
  expect_loaded(load(dir.path(""), 16, 16), Pixels(256, 0), 16, 16);
}

TEST_F(LoaderTest, ShortFileIsBlankFromTheFirstMissingItem) {
  expect_loaded(load(dir.write("short.mem", items(40)), 16, 16), counting(256, 40), 16, 16);
  expect_loaded(load(dir.write("empty.mem", ""), 16, 16), Pixels(256, 0), 16, 16);
}

TEST_F(LoaderTest, LongFileStopsAfterThePicture) {
  expect_loaded(load(dir.write("long.mem", items(300)), 16, 16), counting(256, 256), 16, 16);
  // The unread rest of that file does not leak into the next load.
  expect_loaded(load(dir.write("next.mem", items(256, 5)), 16, 16), counting(256, 256, 5), 16, 16);
}

TEST_F(LoaderTest, ValuesEnterAsTheirLowEightBits) {
  std::string text = "16,-1,256,-16,255,15,4294967295,&H1FF\n";
  Pixels expected = {16, 255, 0, 240, 255, 15, 255, 255};
  expected.resize(64 * 32, 0);
  expect_loaded(load(dir.write("map.mem", text), 64, 32), expected, 64, 32);
}

TEST_F(LoaderTest, RandomBytesLoadAsTheReaderReadsThem) {
  std::mt19937 rng(3);
  for (int round = 0; round < 20; ++round) {
    std::string bytes;
    const size_t size = rng() % 3000;
    for (size_t i = 0; i < size; ++i) bytes += static_cast<char>(rng());
    // The reader over the same bytes in memory says what each pixel must be.
    ByteStream stream = stream_over(bytes.data(), bytes.size());
    Pixels expected;
    for (int i = 0; i < 64 * 32; ++i) expected.push_back(static_cast<uint8_t>(item_read(stream)));
    SCOPED_TRACE("round " + std::to_string(round));
    expect_loaded(load(dir.write("noise.mem", bytes), 64, 32), expected, 64, 32);
  }
}

TEST_F(LoaderTest, RandomLayoutsLoadBackEqual) {
  for (uint32_t seed = 1; seed <= 40; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    files_test::Rng rng(seed);
    const bool map = seed % 4 == 0;
    const int32_t width = map ? 64 : 16;
    const int32_t height = map ? 32 : 16;
    std::vector<int32_t> values;
    Pixels expected;
    for (int32_t i = 0; i < width * height; ++i) {
      values.push_back(files_test::pick(rng, 10) == 0 ? files_test::pick(rng, 600) - 300
                                                      : files_test::pick(rng, 16));
      expected.push_back(static_cast<uint8_t>(values.back()));
    }
    const std::string text = files_test::write_layout(values, width, rng);
    expect_loaded(load(dir.write("layout.mem", text), width, height), expected, width, height);
  }
}

TEST_F(LoaderTest, UsesTheLowestFreeNumberAndLeavesOtherFilesAlone) {
  // A file the caller holds open on number 1, mid-way through with a byte
  // held back, must be exactly where it was after the load used number 2.
  ASSERT_EQ(text_file_open(dir.write("held.mem", "7\r8,9"), 1), RESULT_OK);
  text_file_begin_input(1);
  int32_t value = 0;
  text_file_read_int(value);
  ASSERT_EQ(value, 7);
  ImageBuffer* slot = nullptr;
  load_into(dir.write("pic.mem", items(256)).c_str(), 16, 16, slot);
  EXPECT_EQ(text_file_free_number(), 2);
  expect_loaded(slot, counting(256, 256), 16, 16);
  text_file_begin_input(1);
  text_file_read_int(value);
  EXPECT_EQ(value, 8);
  // A missing file must not read the held file through the old binding either.
  load_into(dir.path("missing.mem").c_str(), 16, 16, slot);
  expect_loaded(slot, Pixels(256, 0), 16, 16);
  text_file_begin_input(1);
  text_file_read_int(value);
  EXPECT_EQ(value, 9);
}

TEST_F(LoaderTest, EachLoadGetsANewPictureInTheSlot) {
  ImageBuffer* slot = nullptr;
  load_into(dir.write("a.mem", items(256)).c_str(), 16, 16, slot);
  ImageBuffer* first = slot;
  load_into(dir.write("b.mem", items(256, 2)).c_str(), 16, 16, slot);
  ASSERT_NE(slot, first);
  EXPECT_EQ(picture(first), counting(256, 256)) << "the earlier picture is kept, not reused";
  EXPECT_EQ(picture(slot), counting(256, 256, 2));
}

TEST_F(LoaderTest, NoPictureMeansANullSlotAndNothingGrabbed) {
  // image_create refuses these sizes, as it would when memory runs out.
  for (int32_t width : {0, -5}) {
    ImageBuffer* slot = image_create(4, 4, 0, 0, 0);  // whatever the slot held is replaced
    ASSERT_NE(slot, nullptr);
    made_.push_back(slot);
    load_into(dir.write("a.mem", items(10)).c_str(), width, 4, slot);
    EXPECT_EQ(slot, nullptr);
    EXPECT_EQ(text_file_free_number(), 1);
    EXPECT_EQ(work_page(), Pixels(W * H, 0)) << "nothing to plot, but the page is cleared";
  }
}

TEST_F(LoaderTest, SixLoadsLeaveTheMapOnTheWorkPage) {
  std::mt19937 rng(5);
  std::vector<std::string> paths;
  for (int i = 0; i < 5; ++i)
    paths.push_back(dir.write("pic" + std::to_string(i) + ".mem", items(256, i)));
  std::vector<int32_t> map;
  Pixels expected;
  for (int i = 0; i < 64 * 32; ++i) {
    map.push_back(static_cast<int32_t>(rng() % 7));
    expected.push_back(static_cast<uint8_t>(map.back()));
  }
  files_test::Rng layout_rng(9);
  paths.push_back(dir.write("map.mem", files_test::write_layout(map, 64, layout_rng)));
  std::vector<ImageBuffer*> slots(6, nullptr);
  for (size_t i = 0; i < 6; ++i) {
    const int32_t width = i == 5 ? 64 : 16;
    const int32_t height = i == 5 ? 32 : 16;
    load_into(paths[i].c_str(), width, height, slots[i]);
    ASSERT_NE(slots[i], nullptr);
  }
  for (int i = 0; i < 5; ++i)
    EXPECT_EQ(picture(slots[static_cast<size_t>(i)]), counting(256, 256, i));
  expect_loaded(slots[5], expected, 64, 32);
}

// The datapack that ships with the game, loaded in the game's order from the
// repository root (the test's working directory).
TEST_F(LoaderTest, ShippedDatapackLeavesItsMapOnTheWorkPage) {
  const char* const paths[] = {"datapack/graphics/brick03.mem", "datapack/graphics/flame01.mem",
                               "datapack/graphics/flame02.mem", "datapack/graphics/skull01.mem",
                               "datapack/graphics/morvek1.mem", "datapack/maps/map002.mem"};
  ImageBuffer* slots[6] = {};
  for (size_t i = 0; i < 6; ++i) {
    ASSERT_EQ(text_file_open(paths[i], 1), RESULT_OK) << paths[i] << " is missing";
    text_file_close(1);
    load_into(paths[i], i == 5 ? 64 : 16, i == 5 ? 32 : 16, slots[i]);
  }
  // The map as the reader reads the file, independently of the loader.
  ASSERT_EQ(text_file_open(paths[5], 1), RESULT_OK);
  Pixels expected;
  for (int i = 0; i < 64 * 32; ++i) {
    text_file_begin_input(1);
    int32_t value = 0;
    text_file_read_int(value);
    expected.push_back(static_cast<uint8_t>(value));
  }
  text_file_close(1);
  expect_loaded(slots[5], expected, 64, 32);
}

}  // namespace
