// The pure pieces of text output: the glyph table, number formatting, the
// console's colour sequences and the golden-frame text format.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "runtime/text/console.h"
#include "runtime/text/font_table.h"
#include "runtime/text/text_output.h"
#include "tests/support/golden_frame.h"

namespace runtime {
namespace {

struct GlyphCase {
  char character;
  Glyph rows;
};

class PrintedGlyph : public ::testing::TestWithParam<GlyphCase> {};

TEST_P(PrintedGlyph, MatchesTheReadoutFontByteForByte) {
  const GlyphCase c = GetParam();
  EXPECT_EQ(FONT_GLYPHS[static_cast<uint8_t>(c.character)], c.rows)
      << "glyph '" << c.character << "'";
}

INSTANTIATE_TEST_SUITE_P(
    ReadoutCharacters, PrintedGlyph,
    ::testing::Values(GlyphCase{' ', {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}},
                      GlyphCase{',', {0x00, 0x00, 0x00, 0x00, 0x00, 0x0C, 0x0C, 0x06}},
                      GlyphCase{'-', {0x00, 0x00, 0x00, 0x3F, 0x00, 0x00, 0x00, 0x00}},
                      GlyphCase{'0', {0x3E, 0x63, 0x73, 0x7B, 0x6F, 0x67, 0x3E, 0x00}},
                      GlyphCase{'1', {0x0C, 0x0E, 0x0C, 0x0C, 0x0C, 0x0C, 0x3F, 0x00}},
                      GlyphCase{'2', {0x1E, 0x33, 0x30, 0x1C, 0x06, 0x33, 0x3F, 0x00}},
                      GlyphCase{'3', {0x1E, 0x33, 0x30, 0x1C, 0x30, 0x33, 0x1E, 0x00}},
                      GlyphCase{'4', {0x38, 0x3C, 0x36, 0x33, 0x7F, 0x30, 0x78, 0x00}},
                      GlyphCase{'5', {0x3F, 0x03, 0x1F, 0x30, 0x30, 0x33, 0x1E, 0x00}},
                      GlyphCase{'6', {0x1C, 0x06, 0x03, 0x1F, 0x33, 0x33, 0x1E, 0x00}},
                      GlyphCase{'7', {0x3F, 0x33, 0x30, 0x18, 0x0C, 0x0C, 0x0C, 0x00}},
                      GlyphCase{'8', {0x1E, 0x33, 0x33, 0x1E, 0x33, 0x33, 0x1E, 0x00}},
                      GlyphCase{'9', {0x1E, 0x33, 0x33, 0x3E, 0x30, 0x18, 0x0E, 0x00}}));

// Shapes whose orientation is beyond doubt catch a table assembled with the
// rows upside down, the bits unmirrored or a block from the wrong code page.
TEST(FontTable, BlockAndLineGlyphsSitWhereCodePage437PutsThem) {
  EXPECT_EQ(FONT_GLYPHS[0xDB], (Glyph{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}));
  // The lower and upper half blocks split the cell between them.
  for (size_t row = 0; row < 8; ++row) {
    EXPECT_EQ(FONT_GLYPHS[0xDC][row] ^ FONT_GLYPHS[0xDF][row], 0xFF) << row;
  }
  EXPECT_EQ(FONT_GLYPHS[0xDF][0], 0xFF);
  EXPECT_EQ(FONT_GLYPHS[0xDC][7], 0xFF);
  EXPECT_EQ(FONT_GLYPHS[0xDD], (Glyph{0x0F, 0x0F, 0x0F, 0x0F, 0x0F, 0x0F, 0x0F, 0x0F}));  // left
  EXPECT_EQ(FONT_GLYPHS[0xDE], (Glyph{0xF0, 0xF0, 0xF0, 0xF0, 0xF0, 0xF0, 0xF0, 0xF0}));  // right
  EXPECT_EQ(FONT_GLYPHS[0xFF], (Glyph{}));  // no-break space
  // 0x80 is C cedilla in code page 437, not the Cyrillic A of code page 866:
  // its tail hangs below the baseline.
  EXPECT_NE(FONT_GLYPHS[0x80][7], 0);
}

struct FormatCase {
  int32_t value;
  const char* text;
};

class PrintIntFormat : public ::testing::TestWithParam<FormatCase> {};

TEST_P(PrintIntFormat, HasASignPlaceAndNothingAfterTheDigits) {
  EXPECT_EQ(format_int(GetParam().value), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Values, PrintIntFormat,
                         ::testing::Values(FormatCase{5, " 5"}, FormatCase{0, " 0"},
                                           FormatCase{-3, "-3"}, FormatCase{319, " 319"},
                                           FormatCase{INT32_MIN, "-2147483648"},
                                           FormatCase{INT32_MAX, " 2147483647"}));

struct ColourCase {
  int32_t foreground;
  int32_t background;
  const char* sequence;
};

class ConsoleAttribute : public ::testing::TestWithParam<ColourCase> {};

// Palette order puts blue in bit 0 and red in bit 2; ANSI swaps them.
TEST_P(ConsoleAttribute, SwapsRedAndBlueAndUsesTheBrightCodes) {
  EXPECT_EQ(ansi_attribute(GetParam().foreground, GetParam().background), GetParam().sequence);
}

INSTANTIATE_TEST_SUITE_P(
    Palette, ConsoleAttribute,
    ::testing::Values(ColourCase{15, 1, "\x1b[0;97;44m"}, ColourCase{7, 0, "\x1b[0;37;40m"},
                      ColourCase{4, 1, "\x1b[0;31;44m"}, ColourCase{1, 4, "\x1b[0;34;41m"},
                      ColourCase{3, 6, "\x1b[0;36;43m"}, ColourCase{6, 3, "\x1b[0;33;46m"},
                      ColourCase{2, 5, "\x1b[0;32;45m"}, ColourCase{8, 9, "\x1b[0;90;104m"},
                      ColourCase{12, 14, "\x1b[0;91;103m"}, ColourCase{10, 13, "\x1b[0;92;105m"}));

TEST(GoldenText, RoundTripsAndRefusesMisshapenFiles) {
  const golden::Frame frame{3, 2, {0, 15, 255, 7, 1, 0}};
  const std::string text = golden::to_mem_text(frame);
  EXPECT_EQ(text, "0,15,255\n7,1,0\n");
  golden::Frame back;
  std::string error;
  ASSERT_TRUE(golden::from_mem_text(text, 3, 2, back, error)) << error;
  EXPECT_EQ(back.pixels, frame.pixels);
  EXPECT_TRUE(golden::describe_differences(frame, back).empty());

  EXPECT_FALSE(golden::from_mem_text("0,1\n2,3\n", 3, 2, back, error));
  EXPECT_FALSE(golden::from_mem_text("0,1,2\n", 3, 2, back, error));
  EXPECT_FALSE(golden::from_mem_text("0,x,2\n1,2,3\n", 3, 2, back, error));

  golden::Frame changed = frame;
  changed.pixels[4] = 9;
  const std::string diff = golden::describe_differences(frame, changed);
  EXPECT_NE(diff.find("(1, 1): expected 1, got 9"), std::string::npos) << diff;
}

}  // namespace
}  // namespace runtime
