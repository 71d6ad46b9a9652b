// Golden frames: a rectangle of a screen page kept as .mem text (one palette
// index per pixel, one pixel row per line, items separated by commas), so a
// changed picture shows up as a readable diff. Files live under
// tests/<area>/golden/ and are only rewritten when TILEWALK_UPDATE_GOLDEN=1.
// Game's thread (the test's own) only.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace golden {

struct Frame {
  int32_t width = 0;
  int32_t height = 0;
  std::vector<int32_t> pixels;  // row-major palette indices
};

// The rectangle (x, y, width, height) of `page` of the open screen; pixels
// outside the page read as -1. An empty frame when no screen is open.
Frame capture_page(int32_t page, int32_t x, int32_t y, int32_t width, int32_t height);

std::string to_mem_text(const Frame& frame);
// Parses .mem text of the given size; false (and `error`) when the text does
// not hold exactly height rows of width integers.
bool from_mem_text(const std::string& text, int32_t width, int32_t height, Frame& frame,
                   std::string& error);

// Up to `limit` differing pixels as "(x, y): expected E, got G" lines, and
// the number of differences in all.
std::string describe_differences(const Frame& expected, const Frame& actual, int32_t limit = 12);

// Compares `actual` with the golden file at `path` (relative to the project
// root, the tests' working directory). With TILEWALK_UPDATE_GOLDEN=1 the file
// is written instead, and the test says so on standard error.
::testing::AssertionResult matches_golden(const std::string& path, const Frame& actual);

}  // namespace golden
