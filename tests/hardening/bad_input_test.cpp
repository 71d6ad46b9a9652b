// The game started on damaged datapacks, on the headless back end: each must
// load exactly as its clean equivalent (every picture, the map page and the
// first shown frame alike), the map cells must hold the values the loading
// rules give, and no start-up may read more than the items it needs, however
// large the files.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "game/frame_loop.h"
#include "runtime/input/key_buffer.h"
#include "runtime/screen/images.h"
#include "runtime/screen/paged_screen.h"
#include "runtime/screen/screen_lock.h"
#include "runtime/screen/screen_open.h"
#include "runtime/window/headless_back_end.h"
#include "tests/hardening/bad_packs.h"

namespace hardening {
namespace {

namespace fs = std::filesystem;

double fixed_clock() { return 1000.0; }

// Bytes this process has read through read(2) and its kin so far.
int64_t bytes_read_so_far() {
  std::ifstream io("/proc/self/io");
  std::string key;
  int64_t value = 0;
  while (io >> key >> value) {
    if (key == "rchar:") return value;
  }
  return -1;
}

struct GameRun {
  std::array<std::vector<uint8_t>, 6> pictures;  // pixel rows, pitch dropped
  std::vector<uint8_t> map_page;
  std::vector<uint32_t> shown;
  int64_t start_up_bytes = 0;
};

GameRun run_game(const fs::path& dir) {
  GameRun run;
  runtime::headless_install();
  runtime::KeyBuffer& keys = runtime::key_buffer();
  keys.read_index = keys.write_index;

  std::array<std::string, 6> paths;
  game::GameSettings settings{"tilewalk-flat", {}, false};
  for (size_t slot = 0; slot < 6; ++slot) {
    paths[slot] = (dir / ASSET_NAMES[slot]).string();
    settings.asset_paths[slot] = paths[slot].c_str();
  }
  game::GameState state;
  state.clock = fixed_clock;
  const int64_t before = bytes_read_so_far();
  if (!game::start_up(state, settings)) {
    ADD_FAILURE() << "no headless window";
    return run;
  }
  run.start_up_bytes = bytes_read_so_far() - before;
  game::enter_play(state);
  game::frame_step(state);
  runtime::headless_wait_ticks(3);
  run.shown = runtime::headless_shown();

  for (size_t slot = 0; slot < 6; ++slot) {
    runtime::ImageBuffer* image = state.assets[slot];
    if (image == nullptr) {
      ADD_FAILURE() << "asset " << slot << " has no picture";
      continue;
    }
    EXPECT_EQ(image->width, static_cast<uint32_t>(ASSET_WIDTHS[slot]));
    EXPECT_EQ(image->height, static_cast<uint32_t>(ASSET_HEIGHTS[slot]));
    for (uint32_t y = 0; y < image->height; ++y) {
      const uint8_t* row = runtime::image_pixels(image) + y * image->pitch;
      run.pictures[slot].insert(run.pictures[slot].end(), row, row + image->width);
    }
    // The game keeps its pictures for the whole process; this run is done.
    runtime::image_release(image);
  }
  runtime::PagedScreen& screen = *runtime::screen_current();
  const uint8_t* map = runtime::screen_page(screen, game::MAP_PAGE);
  run.map_page.assign(map, map + screen.pitch * screen.height);
  runtime::screen_release();
  return run;
}

template <typename T>
size_t differences(const std::vector<T>& a, const std::vector<T>& b) {
  if (a.size() != b.size()) return std::max(a.size(), b.size());
  size_t count = 0;
  for (size_t i = 0; i < a.size(); ++i) count += a[i] != b[i];
  return count;
}

class BadInput : public ::testing::TestWithParam<std::string> {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("tilewalk-bad-" + std::to_string(::getpid()) + "-" + GetParam());
    fs::remove_all(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  fs::path dir_;
};

TEST_P(BadInput, LoadsAsItsCleanEquivalent) {
  const BadPack* pack = find_bad_pack(GetParam());
  ASSERT_NE(pack, nullptr);
  ASSERT_TRUE(write_pack(*pack, dir_ / "bad"));
  ASSERT_TRUE(write_expected(*pack, dir_ / "clean"));

  const GameRun bad = run_game(dir_ / "bad");
  const GameRun clean = run_game(dir_ / "clean");
  for (size_t slot = 0; slot < 6; ++slot) {
    EXPECT_EQ(differences(bad.pictures[slot], clean.pictures[slot]), 0u)
        << "pixels of " << ASSET_NAMES[slot] << " that differ";
  }
  EXPECT_EQ(differences(bad.map_page, clean.map_page), 0u) << "map page pixels that differ";
  EXPECT_EQ(bad.shown.size(), 320u * 200u);
  EXPECT_EQ(differences(bad.shown, clean.shown), 0u)
      << "pixels of the first shown frame that differ";

  // The map cells themselves, against the values the clean datapack holds.
  const Drawing& map = pack->expected[MAP];
  for (size_t y = 0; y < map.size(); ++y) {
    for (size_t x = 0; x < map[y].size(); ++x) {
      const auto expected = static_cast<uint8_t>(static_cast<uint64_t>(map[y][x]) & 0xFF);
      ASSERT_EQ(bad.map_page[y * 320 + x], expected) << "map cell (" << x << ", " << y << ")";
    }
  }
  // Five 256-item pictures and a 2048-item map need at most 67 characters an
  // item (the longest items here), read in 8192-byte blocks: well under 1 MB
  // whatever the files hold.
  EXPECT_GE(bad.start_up_bytes, 0);
  EXPECT_LT(bad.start_up_bytes, 1 << 20);
}

std::vector<std::string> pack_names() {
  std::vector<std::string> names;
  for (const BadPack& pack : bad_packs()) names.push_back(pack.name);
  return names;
}

INSTANTIATE_TEST_SUITE_P(Packs, BadInput, ::testing::ValuesIn(pack_names()),
                         [](const auto& info) { return info.param; });

// The shown frame of a pack differs from its clean one when a picture is
// damaged: guards the comparison above against comparing two blank frames.
TEST(BadInputSuite, ComparisonSeesADamagedPicture) {
  const fs::path dir = fs::temp_directory_path() / ("tilewalk-bad-" + std::to_string(::getpid()));
  const BadPack* clean_pack = find_bad_pack("cr_only_line_ends");
  ASSERT_NE(clean_pack, nullptr);
  BadPack damaged = *clean_pack;
  damaged.files[4] = AssetFile{};  // the player figure goes missing
  ASSERT_TRUE(write_pack(damaged, dir / "bad"));
  ASSERT_TRUE(write_expected(*clean_pack, dir / "clean"));
  const GameRun bad = run_game(dir / "bad");
  const GameRun clean = run_game(dir / "clean");
  fs::remove_all(dir);
  EXPECT_GT(differences(bad.pictures[4], clean.pictures[4]), 0u);
  EXPECT_GT(differences(bad.shown, clean.shown), 0u);
}

}  // namespace
}  // namespace hardening
