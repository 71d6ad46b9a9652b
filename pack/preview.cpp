#include "pack/preview.h"

#include <array>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "game/collision.h"
#include "game/frame_loop.h"
#include "game/view.h"
#include "pack/assets.h"
#include "pack/png_file.h"
#include "runtime/screen/boxes.h"
#include "runtime/screen/images.h"
#include "runtime/screen/paged_screen.h"
#include "runtime/screen/pixels.h"
#include "runtime/screen/screen_lock.h"
#include "runtime/screen/screen_open.h"
#include "runtime/window/headless_back_end.h"

namespace pack {
namespace {

using game::TILE_SIZE;

constexpr int32_t SCREEN_WIDTH = 320;
constexpr int32_t SCREEN_HEIGHT = 200;
constexpr int32_t MAP_COLUMNS = game::ASSET_SIZES[game::MAP].width;
constexpr int32_t MAP_ROWS = game::ASSET_SIZES[game::MAP].height;
constexpr uint32_t BLOCKING_MARK =
    13;  // light magenta, which no shipped tile uses: a frame around every cell that blocks
constexpr uint32_t CLEAR_COLOUR = 0;
constexpr int32_t BOX_FILLED = 2;
constexpr int32_t BOX_OUTLINE = 1;
constexpr int32_t SOLID = 0xFFFF;
// Ticks to wait after a frame: the second starts after the frame was copied,
// and a tick presents before it counts itself.
constexpr int32_t PRESENT_TICKS = 2;

// Index of pixel (x, y) of a row-major picture `width` pixels wide; x, y >= 0.
size_t at(int32_t x, int32_t y, int32_t width) {
  return static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x);
}

// The flame phase must not flip while a frame is drawn.
double frozen_clock() { return 0.0; }

// One start of the game reading the datapack in the chosen directory.
struct Session {
  std::array<std::string, ASSET_COUNT> paths;
  game::GameSettings settings{};
  game::GameState state{};
};

bool session_start(const PreviewOptions& options, Session& session) {
  const game::GameSettings& program = program_settings(options.flat);
  session.settings = program;
  for (size_t slot = 0; slot < ASSET_COUNT; ++slot) {
    session.paths[slot] = asset_path(options.dir, options.flat, slot);
    session.settings.asset_paths[slot] = session.paths[slot].c_str();
    if (!std::filesystem::is_regular_file(session.paths[slot])) {
      std::fprintf(stderr, "%s: warning: no such file: the %s is blank, as the game shows it\n",
                   session.paths[slot].c_str(), ASSET_ROLES[slot]);
    }
  }
  session.state.clock = frozen_clock;
  runtime::headless_install();
  if (!game::start_up(session.state, session.settings)) return false;
  game::enter_play(session.state);
  return true;
}

void session_end(Session& session) {
  runtime::screen_release();
  for (runtime::ImageBuffer*& image : session.state.assets) {
    runtime::image_release(image);
    image = nullptr;
  }
}

// One frame of the game with the player at (x, y) in the given flame phase,
// as the window shows it, into `picture` at column `left`.
void draw_frame(Session& session, int32_t x, int32_t y, int32_t phase, int32_t left,
                int32_t picture_width, std::vector<uint8_t>& picture) {
  session.state.position.x = x;
  session.state.position.y = y;
  session.state.animation_phase = phase;  // the clock stands still: the frame keeps it
  game::frame_step(session.state);
  runtime::headless_wait_ticks(PRESENT_TICKS);
  const std::vector<int32_t> shown = runtime::headless_shown_indices();
  for (int32_t row = 0; row < SCREEN_HEIGHT; ++row) {
    for (int32_t column = 0; column < SCREEN_WIDTH; ++column) {
      const int32_t index = shown[at(column, row, SCREEN_WIDTH)];
      picture[at(left + column, row, picture_width)] = static_cast<uint8_t>(index < 0 ? 0 : index);
    }
  }
}

// The map through the game's view: 15 x 7 cells at a time, each view placed
// one cell left of and above the cells it keeps, so that a box outline or
// tile reaching in from a neighbour above or to the left is drawn as in the
// game. Blocking cells get a light red frame; the player figure stands on
// (x, y).
void draw_map(Session& session, int32_t x, int32_t y, std::vector<uint8_t>& picture) {
  game::GameState& state = session.state;
  const int32_t width = MAP_COLUMNS * TILE_SIZE;
  const int32_t step_x = game::VIEW_COLUMNS - 1;
  const int32_t step_y = game::VIEW_ROWS - 1;
  runtime::screen_lock();
  for (int32_t top = -1; top + 1 < MAP_ROWS; top += step_y) {
    for (int32_t left = -1; left + 1 < MAP_COLUMNS; left += step_x) {
      // The view's first column and row show the cell (left, top).
      game::view_sample(state.view, left + game::PLAYER_COLUMN - 1, top + game::PLAYER_ROW - 1);
      runtime::draw_line(nullptr, 0, 0, SCREEN_WIDTH - 1, SCREEN_HEIGHT - 1, CLEAR_COLOUR,
                         BOX_FILLED, SOLID, 0);
      game::view_draw(state.view, 0, state.assets);
      for (int32_t j = 1; j <= game::VIEW_ROWS; ++j) {
        for (int32_t i = 1; i <= game::VIEW_COLUMNS; ++i) {
          const auto px = static_cast<float>((i - 1) * TILE_SIZE);
          const auto py = static_cast<float>((j - 1) * TILE_SIZE);
          const game::TileCode code = state.view[static_cast<size_t>(i)][static_cast<size_t>(j)];
          if (code != game::TILE_OFF_PAGE && game::tile_blocks(code)) {
            runtime::draw_line(nullptr, px, py, px + TILE_SIZE - 1, py + TILE_SIZE - 1,
                               BLOCKING_MARK, BOX_OUTLINE, SOLID, 0);
          }
          if (left + i - 1 == x && top + j - 1 == y) {
            runtime::image_put(nullptr, px, py, state.assets[game::PLAYER], runtime::ARG_OMITTED,
                               runtime::ARG_OMITTED, runtime::ARG_OMITTED, runtime::ARG_OMITTED, 0,
                               runtime::PUT_OR, -1, nullptr, 0);
          }
        }
      }
      // Keep every cell but the first column and row, which the view before
      // (or none, at the map's edge) already gave.
      for (int32_t py = TILE_SIZE; py < game::VIEW_ROWS * TILE_SIZE; ++py) {
        const int32_t map_y = top * TILE_SIZE + py;
        for (int32_t px = TILE_SIZE; px < game::VIEW_COLUMNS * TILE_SIZE; ++px) {
          const int32_t map_x = left * TILE_SIZE + px;
          if (map_x >= width || map_y >= MAP_ROWS * TILE_SIZE) continue;
          const int32_t index =
              runtime::pixel_get(nullptr, static_cast<float>(px), static_cast<float>(py));
          picture[at(map_x, map_y, width)] = static_cast<uint8_t>(index);
        }
      }
    }
  }
  runtime::screen_unlock();
}

}  // namespace

int preview_run(const PreviewOptions& options) {
  if (!std::filesystem::is_directory(options.dir)) {
    std::fprintf(stderr, "tilewalk-pack preview: %s: no such directory\n", options.dir.c_str());
    return 1;
  }
  Session session;
  if (!session_start(options, session)) {
    std::fprintf(stderr, "tilewalk-pack preview: the game's screen could not start\n");
    session_end(session);
    return 1;
  }
  uint32_t width = 2 * SCREEN_WIDTH;
  uint32_t height = SCREEN_HEIGHT;
  if (options.map) {
    width = MAP_COLUMNS * TILE_SIZE;
    height = MAP_ROWS * TILE_SIZE;
  }
  std::vector<uint8_t> picture(size_t{width} * height, 0);
  if (options.map) {
    draw_map(session, options.x, options.y, picture);
  } else {
    draw_frame(session, options.x, options.y, 0, 0, static_cast<int32_t>(width), picture);
    draw_frame(session, options.x, options.y, 1, SCREEN_WIDTH, static_cast<int32_t>(width),
               picture);
  }
  session_end(session);
  std::string error;
  if (!png_write_indexed(options.out, width, height, picture, NO_TRANSPARENT_INDEX, error)) {
    std::fprintf(stderr, "tilewalk-pack preview: %s\n", error.c_str());
    return 1;
  }
  return 0;
}

}  // namespace pack
