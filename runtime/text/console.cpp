// The console side: state, ANSI sequences and the text operations while no
// graphics screen is open.
#include "runtime/text/console.h"

#include <algorithm>

#include "runtime/screen/paged_screen.h"
#include "runtime/screen/results.h"
#include "runtime/text/console_device.h"

namespace runtime {
namespace {

ConsoleState state;
std::string* capture = nullptr;

constexpr int32_t DEFAULT_COLUMNS = 80;
constexpr int32_t DEFAULT_ROWS = 25;

void write_out(std::string_view bytes) {
  if (bytes.empty()) return;
  if (capture) {
    capture->append(bytes);
    return;
  }
  console_device_write(bytes);
}

// The size is known once it was set, columns and rows always together.
void ensure_size() {
  if (state.rows > 0) return;
  state.columns = DEFAULT_COLUMNS;
  state.rows = DEFAULT_ROWS;
  if (!capture && console_device_is_terminal()) console_device_size(state.columns, state.rows);
}

// Viewport rows on the console, 1-based and inside the console.
void viewport_rows(int32_t& first, int32_t& last) {
  const TextViewport& viewport = text_viewport();
  first = viewport.first > 0 ? viewport.first : 1;
  last = viewport.last > 0 ? viewport.last : state.rows;
  last = std::min(last, state.rows);
  first = std::min(first, last);
}

void move_cursor(int32_t row, int32_t column) {
  state.pending_wrap = false;
  state.cursor_row = row;
  state.cursor_column = column;
  console_emit_control(ansi_cursor_to(row + 1, column + 1));
}

}  // namespace

ConsoleState& console_state() {
  ensure_size();
  return state;
}

int32_t ansi_colour(int32_t palette_colour) {
  // Palette order has blue in bit 0 and red in bit 2; ANSI has them swapped.
  return ((palette_colour & 1) << 2) | (palette_colour & 2) | ((palette_colour >> 2) & 1);
}

std::string ansi_attribute(int32_t foreground, int32_t background) {
  const int32_t fg = (foreground & 8 ? 90 : 30) + ansi_colour(foreground);
  const int32_t bg = (background & 8 ? 100 : 40) + ansi_colour(background);
  return "\x1b[0;" + std::to_string(fg) + ";" + std::to_string(bg) + "m";
}

std::string ansi_resize(int32_t columns, int32_t rows) {
  return "\x1b[8;" + std::to_string(rows) + ";" + std::to_string(columns) + "t";
}

std::string ansi_cursor_to(int32_t row, int32_t column) {
  return "\x1b[" + std::to_string(row) + ";" + std::to_string(column) + "H";
}

std::string ansi_cursor_visibility(bool visible) { return visible ? "\x1b[?25h" : "\x1b[?25l"; }

bool console_is_terminal() { return capture != nullptr || console_device_is_terminal(); }

void console_emit_control(std::string_view bytes) {
  if (console_is_terminal()) write_out(bytes);
}

void console_write(std::string_view bytes) {
  ensure_size();
  // Plain text passes through; only the bell is held back from a file, where
  // it would be a stray control byte rather than a sound.
  std::string out;
  const bool terminal = console_is_terminal();
  for (const char byte : bytes) {
    const auto value = static_cast<unsigned char>(byte);
    if (value == 7) {
      if (terminal) out.push_back(byte);
      continue;
    }
    out.push_back(byte);
    // The terminal's output processing makes a line feed a new line; a
    // character in the last column leaves the cursor there until the next
    // character wraps.
    const bool wrap = state.pending_wrap && value != 8 && value != 13;
    state.pending_wrap = false;
    if (value == 10 || wrap) {
      state.cursor_column = 0;
      if (state.cursor_row < state.rows - 1) ++state.cursor_row;
    }
    if (value == 13) {
      state.cursor_column = 0;
    } else if (value == 8) {
      if (state.cursor_column > 0) --state.cursor_column;
    } else if (value != 10) {
      state.pending_wrap = state.cursor_column >= state.columns - 1;
      if (!state.pending_wrap) ++state.cursor_column;
    }
  }
  write_out(out);
}

int32_t console_colour(int32_t foreground, int32_t background, int32_t flags) {
  const int32_t previous = state.background * 65536 + state.foreground;
  if ((flags & 1) == 0) state.foreground = foreground & 15;
  if ((flags & 2) == 0) state.background = background & 15;
  console_emit_control(ansi_attribute(state.foreground, state.background));
  return previous;
}

int32_t console_locate(int32_t row, int32_t column, int32_t cursor) {
  ensure_size();
  int32_t first = 1;
  int32_t last = 1;
  viewport_rows(first, last);
  const bool rejected = (row != 0 && (row < first || row > last)) ||
                        (column != 0 && (column < 1 || column > state.columns));
  if (!rejected && (row != 0 || column != 0)) {
    move_cursor(row != 0 ? row - 1 : state.cursor_row,
                column != 0 ? column - 1 : state.cursor_column);
  }
  if (cursor == 0 || cursor == 1) {
    state.cursor_visible = cursor == 1;
    console_emit_control(ansi_cursor_visibility(state.cursor_visible));
  }
  return (state.cursor_row + 1) * 256 + (state.cursor_column + 1) +
         (state.cursor_visible ? 65536 : 0);
}

void console_clear(int32_t mode) {
  ensure_size();
  if (mode == 1) return;
  console_emit_control(ansi_attribute(state.foreground, state.background));
  int32_t first = 1;
  int32_t last = state.rows;
  if (mode == 2 || mode == ARG_OMITTED) viewport_rows(first, last);
  if (first == 1 && last == state.rows) {
    // Also reaches whatever lies beyond the size this program knows of.
    console_emit_control("\x1b[H\x1b[2J");
  }
  // Erased cells do not keep the background colour on every terminal (tmux
  // records them as empty), so the area is written with spaces, never past
  // the terminal's real edge, where a space would wrap and scroll.
  int32_t columns = state.columns;
  int32_t rows = state.rows;
  int32_t device_columns = 0;
  int32_t device_rows = 0;
  if (!capture && console_device_size(device_columns, device_rows)) {
    columns = std::min(columns, device_columns);
    rows = std::min(rows, device_rows);
  }
  const std::string blanks(static_cast<size_t>(columns), ' ');
  for (int32_t row = first; row <= last && row <= rows; ++row) {
    console_emit_control(ansi_cursor_to(row, 1) + blanks);
  }
  move_cursor(first - 1, 0);
}

void console_resize(int32_t columns, int32_t rows) {
  ensure_size();
  // Kept in 16 bits so the size still reports as columns + rows x 65536.
  if (columns >= 1) state.columns = columns > 32767 ? 32767 : columns;
  if (rows >= 1) state.rows = rows > 32767 ? 32767 : rows;
  // A terminal that cannot or will not resize ignores the request.
  console_emit_control(ansi_resize(state.columns, state.rows));
  // The cursor stays inside the new size, whoever calls next.
  state.pending_wrap = false;
  if (state.cursor_row >= state.rows) state.cursor_row = state.rows - 1;
  if (state.cursor_column >= state.columns) state.cursor_column = state.columns - 1;
}

void console_flush() {
  if (!capture) console_device_flush();
}

void console_capture(std::string* sink, int32_t columns, int32_t rows) {
  capture = sink;
  state = ConsoleState{};
  if (sink) {
    state.columns = columns;
    state.rows = rows;
  }
}

}  // namespace runtime
