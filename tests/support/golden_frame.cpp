// Reading, writing and comparing golden frames.
#include "tests/support/golden_frame.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include "runtime/screen/paged_screen.h"

namespace golden {

Frame capture_page(int32_t page, int32_t x, int32_t y, int32_t width, int32_t height) {
  Frame frame;
  runtime::PagedScreen* screen = runtime::screen_current();
  if (!screen || width <= 0 || height <= 0 || page < 0 || page >= screen->page_count) return frame;
  frame.width = width;
  frame.height = height;
  frame.pixels.reserve(static_cast<size_t>(width) * static_cast<size_t>(height));
  const uint8_t* base = runtime::screen_page(*screen, page);
  const auto bpp = static_cast<size_t>(screen->bytes_per_pixel);
  for (int64_t py = y; py < int64_t{y} + height; ++py) {
    for (int64_t px = x; px < int64_t{x} + width; ++px) {
      if (px < 0 || py < 0 || px >= screen->width || py >= screen->height) {
        frame.pixels.push_back(-1);
        continue;
      }
      const uint8_t* p = base + static_cast<size_t>(py) * static_cast<size_t>(screen->pitch) +
                         static_cast<size_t>(px) * bpp;
      uint32_t value = 0;
      for (size_t i = 0; i < bpp; ++i) value |= uint32_t{p[i]} << (8 * i);
      frame.pixels.push_back(static_cast<int32_t>(value));
    }
  }
  return frame;
}

std::string to_mem_text(const Frame& frame) {
  std::string text;
  for (int32_t row = 0; row < frame.height; ++row) {
    for (int32_t column = 0; column < frame.width; ++column) {
      if (column > 0) text.push_back(',');
      text += std::to_string(frame.pixels[static_cast<size_t>(row * frame.width + column)]);
    }
    text.push_back('\n');
  }
  return text;
}

bool from_mem_text(const std::string& text, int32_t width, int32_t height, Frame& frame,
                   std::string& error) {
  frame = Frame{width, height, {}};
  std::istringstream lines(text);
  std::string line;
  int32_t row = 0;
  while (std::getline(lines, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) continue;
    std::istringstream items(line);
    std::string item;
    int32_t count = 0;
    while (std::getline(items, item, ',')) {
      char* end = nullptr;
      const long value = std::strtol(item.c_str(), &end, 10);
      if (end == item.c_str() || *end != '\0') {
        error = "row " + std::to_string(row) + ": not an integer: \"" + item + "\"";
        return false;
      }
      frame.pixels.push_back(static_cast<int32_t>(value));
      ++count;
    }
    if (count != width) {
      error = "row " + std::to_string(row) + " has " + std::to_string(count) + " items, expected " +
              std::to_string(width);
      return false;
    }
    ++row;
  }
  if (row != height) {
    error = "file has " + std::to_string(row) + " rows, expected " + std::to_string(height);
    return false;
  }
  return true;
}

std::string describe_differences(const Frame& expected, const Frame& actual, int32_t limit) {
  std::ostringstream out;
  if (expected.width != actual.width || expected.height != actual.height) {
    out << "size differs: expected " << expected.width << " x " << expected.height << ", got "
        << actual.width << " x " << actual.height << "\n";
    return out.str();
  }
  int64_t count = 0;
  for (size_t i = 0; i < expected.pixels.size(); ++i) {
    if (expected.pixels[i] == actual.pixels[i]) continue;
    if (count < limit) {
      const auto x = static_cast<int64_t>(i) % expected.width;
      const auto y = static_cast<int64_t>(i) / expected.width;
      out << "  (" << x << ", " << y << "): expected " << expected.pixels[i] << ", got "
          << actual.pixels[i] << "\n";
    }
    ++count;
  }
  if (count > 0) out << count << " pixel(s) differ\n";
  return out.str();
}

::testing::AssertionResult matches_golden(const std::string& path, const Frame& actual) {
  if (actual.width <= 0 || actual.height <= 0) {
    return ::testing::AssertionFailure() << "nothing captured for " << path;
  }
  const char* update = std::getenv("TILEWALK_UPDATE_GOLDEN");
  if (update && std::strcmp(update, "1") == 0) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << to_mem_text(actual);
    if (!file) return ::testing::AssertionFailure() << "could not write " << path;
    std::fprintf(stderr, "golden frame rewritten: %s\n", path.c_str());
    return ::testing::AssertionSuccess();
  }
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    return ::testing::AssertionFailure()
           << "no golden frame at " << path << " (run with TILEWALK_UPDATE_GOLDEN=1 to write it)";
  }
  std::stringstream text;
  text << file.rdbuf();
  Frame expected;
  std::string error;
  if (!from_mem_text(text.str(), actual.width, actual.height, expected, error)) {
    return ::testing::AssertionFailure() << path << ": " << error;
  }
  const std::string differences = describe_differences(expected, actual);
  if (differences.empty()) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << path << " differs:\n" << differences;
}

}  // namespace golden
