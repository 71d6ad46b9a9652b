// Golden frames: a rectangle of a screen page as text, one line per pixel row
// and one character per pixel (its palette index as a hex digit, '?' above
// 15), so that a changed picture reads as a diff. A file holds only what its
// test is about. Files are rewritten only on purpose, when
// TILEWALK_UPDATE_GOLDEN=1. The test's own thread only.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace golden {

// The rectangle of `page` of the open screen. With `rest_black`, a last line
// counts the page's pixels outside the rectangle that are not 0, if any are.
std::string capture(int32_t page, int32_t x, int32_t y, int32_t width, int32_t height,
                    bool rest_black);

// Compares `frame` with the file at `path` (from the project root), or writes
// the file when TILEWALK_UPDATE_GOLDEN=1.
::testing::AssertionResult matches(const std::string& path, const std::string& frame);

}  // namespace golden
