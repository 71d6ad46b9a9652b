// The one DrawState and how a drawing call points it at its target.
//
// The game draws on the screen hundreds of times a frame and on images almost
// never, so selecting the screen when it is already the target costs one
// comparison; the row table is rebuilt only when the target or the work page
// changes. An image's header may have been rewritten by a grab since it was
// last the target, so selecting an image always rebuilds its (short) table.
#include "runtime/screen/draw_state.h"

#include <algorithm>
#include <cstddef>
#include <limits>

#include "runtime/screen/image_buffer.h"
#include "runtime/screen/images.h"
#include "runtime/screen/paged_screen.h"

namespace runtime {
namespace {

DrawState state;

int32_t clamp_to_int32(uint64_t value) {
  return static_cast<int32_t>(std::min<uint64_t>(value, std::numeric_limits<int32_t>::max()));
}

void point_rows_at_work_page(PagedScreen& screen) {
  // A vector keeps its storage when it shrinks for a smaller image, so
  // switching back and forth never allocates once the screen's height has
  // been seen.
  const auto height = static_cast<size_t>(screen.height);
  state.rows.resize(height);
  uint8_t* row = screen_page(screen, state.work_page);
  const auto pitch = static_cast<size_t>(screen.pitch);
  for (size_t y = 0; y < height; ++y, row += pitch) state.rows[y] = row;
  state.bytes_per_pixel = screen.bytes_per_pixel;
  state.pitch = screen.pitch;
}

// The header has passed image_header_valid, so its rows fit its allocation.
void point_rows_at_image(ImageBuffer* image) {
  const auto rows = static_cast<size_t>(image->height);
  state.rows.resize(rows);
  uint8_t* row = image_pixels(image);
  for (size_t y = 0; y < rows; ++y, row += image->pitch) state.rows[y] = row;
  state.bytes_per_pixel = static_cast<int32_t>(image->bytes_per_pixel);
  state.pitch = clamp_to_int32(image->pitch);
  state.clip = ClipRect{0, 0, clamp_to_int32(image->width), clamp_to_int32(image->height)};
}

}  // namespace

DrawState& draw_state() { return state; }

void draw_state_reset(PagedScreen& screen) {
  state.screen_id = screen.id;
  state.work_page = 0;
  state.target = nullptr;
  state.foreground = screen.colour_mask;
  state.background = screen.colour_mask & ~uint32_t{0xFFFFFF};
  state.clip = ClipRect{0, 0, screen.width, screen.height};
  state.screen_clip = state.clip;
  point_rows_at_work_page(screen);
}

DrawState* draw_select_target(ImageBuffer* target) {
  PagedScreen* screen = screen_current();
  if (!screen) return nullptr;
  if (state.screen_id != screen->id) draw_state_reset(*screen);

  if (target == nullptr) {
    if (state.target != nullptr) {
      state.target = nullptr;
      state.clip = state.screen_clip;
      point_rows_at_work_page(*screen);
    }
    return &state;
  }

  // A header no drawing can trust leaves the state as it was.
  if (!image_header_valid(target)) return nullptr;
  if (state.target == nullptr) state.screen_clip = state.clip;
  state.target = target;
  point_rows_at_image(target);
  return &state;
}

void draw_set_work_page(int32_t page) {
  state.work_page = page;
  PagedScreen* screen = screen_current();
  if (screen && state.target == nullptr && state.screen_id == screen->id) {
    point_rows_at_work_page(*screen);
  }
}

bool draw_target_is_visible_page() {
  const PagedScreen* screen = screen_current();
  return screen && state.target == nullptr && state.screen_id == screen->id &&
         state.work_page == screen->visible_page;
}

}  // namespace runtime
