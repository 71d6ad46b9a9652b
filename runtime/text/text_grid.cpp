// Shared helpers of the graphics text operations: frame, fills, cell records.
#include "runtime/text/text_grid.h"

#include <algorithm>
#include <cstring>

namespace runtime {

void viewport_bounds(int32_t rows, int32_t& first, int32_t& last) {
  const TextViewport& viewport = text_viewport();
  first = viewport.first > 0 ? viewport.first : 1;
  last = viewport.last > 0 ? viewport.last : rows;
}

bool text_frame(const PagedScreen& screen, TextFrame& frame) {
  if (screen.text_columns < 1 || screen.text_rows < 1) return false;
  int32_t first = 1;
  int32_t last = screen.text_rows;
  // Inside the grid: screen_open sets the viewport to the grid, and text_view
  // takes only rows of it.
  viewport_bounds(screen.text_rows, first, last);
  frame.left = 0;
  frame.right = screen.text_columns - 1;
  frame.top = first - 1;
  frame.bottom = last - 1;
  return true;
}

uint32_t pixel_mask(int32_t bytes_per_pixel) {
  if (bytes_per_pixel >= 4) return 0xFFFFFFFFu;
  return (uint32_t{1} << (8 * bytes_per_pixel)) - 1;
}

void fill_pixels(uint8_t* row, int32_t count, uint32_t colour, int32_t bytes_per_pixel) {
  if (count <= 0) return;
  if (bytes_per_pixel == 1) {
    std::memset(row, static_cast<int>(colour & 0xFF), static_cast<size_t>(count));
    return;
  }
  // Little-endian pixels, as the window side reads their low byte first.
  uint8_t pixel[4] = {static_cast<uint8_t>(colour), static_cast<uint8_t>(colour >> 8),
                      static_cast<uint8_t>(colour >> 16), static_cast<uint8_t>(colour >> 24)};
  const size_t step = static_cast<size_t>(bytes_per_pixel);
  for (int32_t i = 0; i < count; ++i) std::memcpy(row + static_cast<size_t>(i) * step, pixel, step);
}

void blank_cells(PagedScreen& screen, int32_t page, int32_t first, int32_t last,
                 uint32_t foreground, uint32_t background) {
  const TextCell blank{32, static_cast<uint8_t>(foreground), static_cast<uint8_t>(background)};
  for (int32_t row = std::max(first, 0); row <= last && row < screen.text_rows; ++row) {
    TextCell* cells = cell_row(screen, page, row);
    std::fill(cells, cells + screen.text_columns, blank);
  }
}

}  // namespace runtime
