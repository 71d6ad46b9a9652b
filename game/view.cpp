#include "game/view.h"

#include "runtime/screen/boxes.h"
#include "runtime/screen/images.h"
#include "runtime/screen/paged_screen.h"
#include "runtime/screen/pixels.h"
#include "runtime/screen/results.h"

namespace game {

using namespace runtime;

namespace {

void put_tile(float px, float py, ImageBuffer* picture) {
  image_put(nullptr, px, py, picture, ARG_OMITTED, ARG_OMITTED, ARG_OMITTED, ARG_OMITTED,
            COORDINATES_PLAIN, PUT_XOR, -1, nullptr, 0);
}

}  // namespace

void view_sample(ViewGrid& grid, int32_t x, int32_t y) {
  screen_copy_page(MAP_PAGE, WORK_PAGE);
  for (int32_t j = 1; j <= VIEW_ROWS; ++j) {
    for (int32_t i = 1; i <= VIEW_COLUMNS; ++i) {
      grid[static_cast<size_t>(i)][static_cast<size_t>(j)] =
          pixel_get(nullptr, static_cast<float>(x + i - PLAYER_COLUMN),
                    static_cast<float>(y + j - PLAYER_ROW));
    }
  }
}

void view_draw(const ViewGrid& grid, int32_t animation_phase, const AssetSet& assets) {
  ImageBuffer* flame = (animation_phase & 1) == 0 ? assets[FLAME_0] : assets[FLAME_1];
  for (int32_t j = 1; j <= VIEW_ROWS; ++j) {
    for (int32_t i = 1; i <= VIEW_COLUMNS; ++i) {
      const TileCode code = grid[static_cast<size_t>(i)][static_cast<size_t>(j)];
      const auto px = static_cast<float>((i - 1) * TILE_SIZE);
      const auto py = static_cast<float>((j - 1) * TILE_SIZE);
      if (code == TILE_BRICK) {
        put_tile(px, py, assets[BRICK]);
      } else if (code == TILE_FLAME || code == TILE_OPEN_FLAME) {
        put_tile(px, py, flame);
      } else if (code == TILE_SKULL) {
        put_tile(px, py, assets[SKULL]);
      } else if (code >= TILE_OUTLINED) {
        draw_line(nullptr, px, py, px + TILE_SIZE, py + TILE_SIZE, WHITE, LINE_SHAPE_BOX,
                  LINE_STYLE_SOLID, COORDINATES_PLAIN);
      }
    }
  }
}

}  // namespace game
