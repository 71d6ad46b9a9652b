#include "pack/reach.h"

#include <array>

#include "game/collision_rule.h"

namespace pack {
namespace {

// The cells a step can reach, in the order the search tries them.
constexpr std::array<Cell, 8> STEPS = {
    {{1, 0}, {0, 1}, {-1, 0}, {0, -1}, {1, 1}, {-1, 1}, {1, -1}, {-1, -1}}};

struct Page {
  const std::vector<uint8_t>& map;
  int32_t width;
  int32_t height;

  bool on_page(Cell c) const {
    return c.x >= 0 && c.y >= 0 && c.x < game::SCREEN_WIDTH && c.y < game::SCREEN_HEIGHT;
  }
  bool in_map(Cell c) const { return c.x >= 0 && c.y >= 0 && c.x < width && c.y < height; }
  // What pixel_get reads on the map page.
  game::TileCode code(Cell c) const {
    if (!on_page(c)) return game::TILE_OFF_PAGE;
    if (!in_map(c)) return game::TILE_FLOOR;
    return map[static_cast<size_t>(c.y) * static_cast<size_t>(width) + static_cast<size_t>(c.x)];
  }
  size_t index(Cell c) const {
    return static_cast<size_t>(c.y) * game::SCREEN_WIDTH + static_cast<size_t>(c.x);
  }
};

}  // namespace

Reach reach_from(const std::vector<uint8_t>& map, int32_t width, int32_t height, Cell start) {
  const Page page{map, width, height};
  Reach reach;
  reach.start_blocks = game::tile_blocks(page.code(start));
  if (!page.on_page(start)) return reach;
  std::vector<bool> seen(size_t{game::SCREEN_WIDTH} * game::SCREEN_HEIGHT, false);
  std::vector<Cell> queue;  // breadth first: the leak named is one nearest the start
  queue.push_back(start);
  seen[page.index(start)] = true;
  for (size_t next = 0; next < queue.size(); ++next) {
    const Cell from = queue[next];
    for (const Cell step : STEPS) {
      const Cell to{from.x + step.x, from.y + step.y};
      if (game::tile_blocks(page.code(to)) || seen[page.index(to)]) continue;
      seen[page.index(to)] = true;
      queue.push_back(to);
      if (!reach.leaks && page.in_map(from) && !page.in_map(to)) {
        reach.leaks = true;
        reach.leak_from = from;
        reach.leak_to = to;
      }
    }
  }
  // The start cell counts only when the player may stand there again.
  reach.reached = static_cast<int64_t>(queue.size()) - (reach.start_blocks ? 1 : 0);
  reach.boxed_in = queue.size() == 1;
  return reach;
}

}  // namespace pack
