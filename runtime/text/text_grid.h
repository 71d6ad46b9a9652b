// Pieces the graphics halves of the text operations share: the viewport as a
// frame of 0-based cells, pixel fills of any pixel width, and cell records.
// Internal to runtime/text; game's thread only, screen lock held for writes.
#pragma once

#include <cstdint>

#include "runtime/screen/paged_screen.h"

namespace runtime {

// The viewport on the open screen's text grid, 0-based and inclusive, clamped
// to the grid so that no write can reach past the page.
struct TextFrame {
  int32_t left = 0;
  int32_t right = 0;
  int32_t top = 0;
  int32_t bottom = 0;
};

// False when the screen is too small to hold one cell.
bool text_frame(const PagedScreen& screen, TextFrame& frame);

// Viewport rows (1-based) as they read now: unset ends read as row 1 and the
// grid's last row (`rows`).
void viewport_bounds(int32_t rows, int32_t& first, int32_t& last);

// The bits a pixel of `bytes_per_pixel` bytes holds.
uint32_t pixel_mask(int32_t bytes_per_pixel);

// Writes `count` pixels of `colour` from `row`, `bytes_per_pixel` bytes each.
void fill_pixels(uint8_t* row, int32_t count, uint32_t colour, int32_t bytes_per_pixel);

// Cell records of text rows first..last (0-based) of `page` become spaces.
void blank_cells(PagedScreen& screen, int32_t page, int32_t first, int32_t last,
                 uint32_t foreground, uint32_t background);

inline TextCell* cell_row(PagedScreen& screen, int32_t page, int32_t row) {
  const size_t index = (static_cast<size_t>(page) * static_cast<size_t>(screen.text_rows) +
                        static_cast<size_t>(row)) *
                       static_cast<size_t>(screen.text_columns);
  return screen.cells.data() + index;
}

}  // namespace runtime
