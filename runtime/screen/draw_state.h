// The DrawState: the target, row table, colours and clip rectangle through
// which every drawing operation works. Owned by the game's thread; rebuilt by
// screen_open and whenever its screen id no longer matches the open screen.
#pragma once

#include <cstdint>
#include <vector>

namespace runtime {

struct ImageBuffer;
struct PagedScreen;

struct ClipRect {
  int32_t x = 0;
  int32_t y = 0;
  int32_t width = 0;
  int32_t height = 0;
};

struct DrawState {
  int32_t screen_id = 0;
  int32_t work_page = 0;
  ImageBuffer* target = nullptr;  // null: the screen's work page
  std::vector<uint8_t*> rows;     // start of each row of the current target
  int32_t bytes_per_pixel = 0;
  int32_t pitch = 0;
  uint32_t foreground = 0;
  uint32_t background = 0;
  ClipRect clip;         // of the current target
  ClipRect screen_clip;  // the screen's, set aside while an image is the target
};

DrawState& draw_state();

// Rebuilds the DrawState for `screen`, the open one: work page 0, foreground =
// colour mask, background 0, clip = whole page. screen_open calls it.
void draw_state_reset(PagedScreen& screen);

// Makes `target` (null: the screen's work page) the current target, rebuilding
// the row table only when something changed. Returns null with no screen open, or
// for an image whose header is not a valid picture (the state is then unchanged).
DrawState* draw_select_target(ImageBuffer* target);

// Changes the work page (no range check) and points the row table at it.
void draw_set_work_page(int32_t page);

// True when drawing on the current target must mark dirty rows.
bool draw_target_is_visible_page();

}  // namespace runtime
