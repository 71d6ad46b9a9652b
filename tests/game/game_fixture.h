// Runs the real game on the headless back end: start-up with chosen asset
// files, keys posted straight into the key buffer, frames stepped one by one,
// and the shown page captured as a golden frame.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
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
#include "tests/support/golden_frame.h"

namespace game {

// A picture or map as rows of tile codes / palette indices.
using Drawing = std::vector<std::vector<int32_t>>;

inline void write_mem(const std::filesystem::path& path, const Drawing& rows) {
  std::ofstream out(path);
  for (const auto& row : rows) {
    for (size_t x = 0; x < row.size(); ++x) out << (x ? "," : "") << row[x];
    out << "\n";
  }
}

inline Drawing blank(int32_t width, int32_t height) {
  return Drawing(static_cast<size_t>(height), std::vector<int32_t>(static_cast<size_t>(width), 0));
}

class GameFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    runtime::headless_install();
    // Keys left from an earlier test must not move this one's player.
    runtime::KeyBuffer& buffer = runtime::key_buffer();
    buffer.read_index = buffer.write_index;
  }
  void TearDown() override {
    runtime::screen_release();
    // The game keeps its pictures for the life of the process; a test's game
    // state does not live that long, so the fixture gives them back.
    for (runtime::ImageBuffer* image : images_) runtime::image_release(image);
    images_.clear();
  }

  // Starts the game reading `paths` (six files) and enters play.
  void start(const std::array<const char*, 6>& paths, bool show_readout = true) {
    settings_ = GameSettings{"tilewalk", paths, show_readout};
    ASSERT_TRUE(start_up(state_, settings_));
    images_.insert(images_.end(), state_.assets.begin(), state_.assets.end());
    enter_play(state_);
  }

  void start_shipped() {
    start({"datapack/graphics/brick03.mem", "datapack/graphics/flame01.mem",
           "datapack/graphics/flame02.mem", "datapack/graphics/skull01.mem",
           "datapack/graphics/morvek1.mem", "datapack/maps/map002.mem"});
  }

  // Posts a key as the window side would, then runs one frame.
  void step(runtime::KeyCode key) {
    runtime::screen_lock();
    runtime::key_post(key);
    runtime::screen_unlock();
    frame_step(state_);
  }
  void step(char digit) { step(static_cast<runtime::KeyCode>(digit)); }

  static golden::Frame shown_page() { return golden::capture_page(0, 0, 0, 320, 200); }

  static int32_t map_cell(int32_t x, int32_t y) {
    runtime::PagedScreen& screen = *runtime::screen_current();
    return runtime::screen_page(screen, MAP_PAGE)[y * screen.pitch + x];
  }

  GameSettings settings_{};
  GameState state_{};
  std::vector<runtime::ImageBuffer*> images_;  // every picture a start made
};

}  // namespace game
