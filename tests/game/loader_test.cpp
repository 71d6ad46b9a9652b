// load_mem_image on the headless screen: random pictures written in random
// layouts, whole, cut short, too long or missing, must load as the values'
// low eight bits, zeros after the file's end, the picture also left on the
// work page; the file service is left as found.
#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "game/loader.h"
#include "runtime/files/file_table.h"
#include "runtime/screen/images.h"
#include "runtime/text/text_output.h"
#include "tests/support/screen_fixture.h"

namespace {

using namespace runtime;
using Pixels = std::vector<uint8_t>;

class Loader : public support::ScreenTest {
 protected:
  void TearDown() override {
    for (ImageBuffer* image : made_) image_release(image);
    ScreenTest::TearDown();
  }
  ImageBuffer* load(const std::string& path, int32_t width, int32_t height) {
    ImageBuffer* slot = made_.emplace_back(image_create(1, 1, 0, 0, 0));  // replaced by the load
    game::load_mem_image(path.c_str(), width, height, slot);
    return made_.emplace_back(slot);
  }
  // Rows of pixels, in reading order.
  static Pixels pixels(const uint8_t* rows, int32_t width, int32_t height, int32_t pitch) {
    Pixels out;
    for (int32_t y = 0; y < height; ++y)
      out.insert(out.end(), rows + y * pitch, rows + y * pitch + width);
    return out;
  }
  std::string path_ = "/tmp/tilewalk-loader-" + std::to_string(::getpid());
  std::vector<ImageBuffer*> made_;
};

// Random values, written whole, cut short, too long or not at all, in random
// layouts: each spelling and separator the reader takes.
TEST_F(Loader, LoadsWhatTheFileHoldsInAnyLayout) {
  const char* const FORMS[] = {"%d",   "\"  %d \"", "%u",    "&H%X", "&h%x",
                               "&O%o", "&%o",       "%d.25", "%dE0", "%dd0"};
  const char* const SEPARATORS[] = {",", " ", "  ", "\t", "\n", "\r\n", "\r", " ,", "\t, ", "  \n"};
  for (uint32_t seed = 1; seed <= 30; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 random(seed);
    const int32_t width = seed % 4 ? 16 : 64, height = seed % 4 ? 16 : 32, count = width * height;
    const int32_t written = seed % 5 == 1   ? -1
                            : seed % 5 == 2 ? static_cast<int32_t>(random() % count)
                                            : count + 2;
    std::string text;
    Pixels picture(static_cast<size_t>(count), 0), page(64000, 0);
    for (int32_t i = 0; i < written; ++i) {
      const auto value = static_cast<int32_t>(random() % 8 ? random() % 16 : random() % 600 - 300);
      char item[40];
      std::snprintf(item, sizeof item, FORMS[random() % std::size(FORMS)], value);
      text += item + std::string(SEPARATORS[random() % std::size(SEPARATORS)]);
      if (i < count)
        picture[static_cast<size_t>(i)] = page[static_cast<size_t>(i / width * 320 + i % width)] =
            static_cast<uint8_t>(value);
    }
    ::unlink(path_.c_str());
    if (written >= 0) std::ofstream(path_, std::ios::binary) << text;
    ImageBuffer* image = load(path_, width, height);
    EXPECT_EQ(pixels(image_pixels(image), width, height, static_cast<int32_t>(image->pitch)),
              picture);
    EXPECT_EQ(pixels(support::page(1), 320, 200, 320), page);
    EXPECT_EQ(text_file_free_number(), 1);
  }
}

TEST_F(Loader, LeavesOtherFilesAndTheirBindingAlone) {
  std::ofstream(path_ + "-held") << "7\r8,9";
  ASSERT_EQ(text_file_open(path_ + "-held", 1), RESULT_OK);
  int32_t value = 0;
  text_file_begin_input(1);
  text_file_read_int(value);  // 7, with the 8 held back
  std::ofstream(path_) << "5,6";
  EXPECT_EQ(image_pixels(load(path_, 16, 16))[1], 6);
  EXPECT_EQ(text_file_free_number(), 2);
  load(path_ + "-missing", 16, 16);  // must not read the held file through the old binding
  text_file_begin_input(1);
  text_file_read_int(value);
  EXPECT_EQ(value, 8);
  text_file_close(1);
  EXPECT_EQ(load(path_, 0, 16), nullptr);  // no picture: the page is cleared all the same
  EXPECT_EQ(pixels(support::page(1), 320, 200, 320), Pixels(64000, 0));
}

// Start-up reads only what the pictures need, however large a file is.
TEST_F(Loader, ReadsNoMoreOfAHugeFileThanThePictureNeeds) {
  std::ofstream(path_ + "-huge").close();
  ASSERT_EQ(::truncate((path_ + "-huge").c_str(), 100 << 20), 0);  // 100 MB of zero bytes, no disk
  auto bytes_read = [] {
    std::ifstream io("/proc/self/io");
    std::string key;
    int64_t value = 0;
    while (io >> key >> value && key != "rchar:") continue;
    return value;
  };
  const int64_t before = bytes_read();
  ASSERT_NE(load(path_ + "-huge", 64, 32), nullptr);
  EXPECT_LT(bytes_read() - before, 1 << 20);
  for (const char* end : {"", "-held", "-huge"}) ::unlink((path_ + end).c_str());
}

}  // namespace
