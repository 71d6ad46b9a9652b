// Random pictures written out in random valid layouts must read back through
// the numbered-file service item for item.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "layouts.h"
#include "runtime/files/file_table.h"
#include "temp_files.h"

namespace {

using files_test::pick;

TEST(LayoutProperty, RandomLayoutsReadBackTheSamePicture) {
  files_test::TempDir dir;
  ASSERT_TRUE(dir.ok());
  for (uint32_t seed = 1; seed <= 150; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    files_test::Rng rng(seed);
    const int width = 1 + pick(rng, 64);
    const int height = 1 + pick(rng, 32);
    std::vector<int32_t> picture;
    for (int i = 0; i < width * height; ++i) {
      picture.push_back(pick(rng, 8) == 0 ? pick(rng, 600) - 300 : pick(rng, 16));
    }
    const std::string text = files_test::write_layout(picture, width, rng);
    const std::string path = dir.write("picture.mem", text);
    ASSERT_EQ(runtime::text_file_open(path, 1), runtime::RESULT_OK);
    std::vector<int32_t> read;
    for (size_t i = 0; i < picture.size(); ++i) {
      runtime::text_file_begin_input(1);
      int32_t v = 0;
      runtime::text_file_read_int(v);
      read.push_back(v);
    }
    runtime::text_file_close(1);
    ASSERT_EQ(read, picture) << "file text:\n" << text;
  }
}

}  // namespace
