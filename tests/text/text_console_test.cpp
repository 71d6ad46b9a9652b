// The console side with no graphics screen open: colours, cursor, size and
// clearing, as the control sequences a terminal receives.
#include <gtest/gtest.h>

#include <string>

#include "runtime/screen/paged_screen.h"
#include "runtime/screen/results.h"
#include "runtime/text/console.h"
#include "runtime/text/program_end.h"
#include "runtime/text/screen_clear.h"
#include "runtime/text/text_output.h"

namespace runtime {
namespace {

class ConsoleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(screen_current(), nullptr);
    console_capture(&terminal, 80, 25);
    ASSERT_EQ(screen_close(0, 0, 0, 0, 0), RESULT_OK);
    terminal.clear();
  }
  void TearDown() override { console_capture(nullptr); }

  bool saw(const std::string& sequence) const {
    return terminal.find(sequence) != std::string::npos;
  }

  std::string terminal;
};

TEST_F(ConsoleTest, ColourKeepsFourBitsAndSetsTheAttribute) {
  EXPECT_EQ(text_colour(15, 1, 0), 0 * 65536 + 7);  // program start: 7 on 0
  EXPECT_TRUE(saw("\x1b[0;97;44m"));
  EXPECT_EQ(text_colour(20, 33, 0), 1 * 65536 + 15);
  EXPECT_EQ(text_colour(0, 0, 3), 1 * 65536 + 4);  // 20 AND 15, 33 AND 15
  EXPECT_EQ(console_state().foreground, 4);
  EXPECT_EQ(console_state().background, 1);
}

TEST_F(ConsoleTest, LocateMovesTheCursorAndReportsItsVisibility) {
  EXPECT_EQ(text_locate(5, 10, -1, 0, 0), 65536 + 5 * 256 + 10);
  EXPECT_TRUE(saw("\x1b[5;10H"));
  EXPECT_EQ(text_locate(0, 0, 0, 0, 0), 5 * 256 + 10);
  EXPECT_TRUE(saw("\x1b[?25l"));
  EXPECT_EQ(text_locate(26, 1, -1, 0, 0), 5 * 256 + 10);  // outside the 25 rows
  EXPECT_EQ(text_locate(1, 81, -1, 0, 0), 5 * 256 + 10);  // outside the 80 columns
  EXPECT_EQ(text_locate(25, 80, 1, 0, 0), 65536 + 25 * 256 + 80);
  EXPECT_TRUE(saw("\x1b[?25h"));
}

TEST_F(ConsoleTest, WidthSetsTheSizeResetsTheViewportAndReports) {
  text_view(3, 5);
  EXPECT_EQ(console_width(100, -1), 0);
  EXPECT_TRUE(saw("\x1b[8;25;100t"));
  EXPECT_EQ(console_width(0, 0), 100 + 25 * 65536);
  EXPECT_EQ(text_view(-1, -1), 25 * 65536 + 1);
  EXPECT_EQ(text_locate(0, 0, -1, 0, 0) & 0xFFFF, 1 * 256 + 1);
  EXPECT_EQ(console_width(-1, 40), 0);
  EXPECT_EQ(console_width(-5, -5), 100 + 40 * 65536);
}

TEST_F(ConsoleTest, ClearCoversTheViewportRowsOrTheWholeWindow) {
  text_colour(15, 1, 0);
  text_view(3, 5);
  terminal.clear();
  screen_clear(ARG_OMITTED);
  const std::string blanks(80, ' ');
  EXPECT_EQ(terminal, "\x1b[0;97;44m\x1b[3;1H" + blanks + "\x1b[4;1H" + blanks + "\x1b[5;1H" +
                          blanks + "\x1b[3;1H");

  terminal.clear();
  screen_clear(1);
  EXPECT_EQ(terminal, "");

  terminal.clear();
  screen_clear(0);
  std::string whole = "\x1b[0;97;44m\x1b[H\x1b[2J";
  for (int32_t row = 1; row <= 25; ++row) whole += "\x1b[" + std::to_string(row) + ";1H" + blanks;
  EXPECT_EQ(terminal, whole + "\x1b[1;1H");
}

TEST_F(ConsoleTest, TheExitStepsLeaveA80By25BlueConsole) {
  EXPECT_EQ(screen_close(0, 0, 0, 0, 0), RESULT_OK);
  EXPECT_EQ(console_width(80, -1), 0);
  text_colour(15, 1, 0);
  terminal.clear();
  screen_clear(ARG_OMITTED);
  // Every one of the 25 rows is written blank in bright white on blue, and
  // the cursor ends at the top-left.
  EXPECT_EQ(terminal.rfind("\x1b[0;97;44m", 0), 0u);
  for (int32_t row = 1; row <= 25; ++row) {
    EXPECT_TRUE(saw("\x1b[" + std::to_string(row) + ";1H" + std::string(80, ' '))) << row;
  }
  EXPECT_FALSE(saw("\x1b[26;1H"));
  EXPECT_EQ(terminal.substr(terminal.size() - 6), "\x1b[1;1H");
  EXPECT_EQ(console_width(0, 0), 80 + 25 * 65536);
}

TEST_F(ConsoleTest, PrintedTextPassesThroughUnchanged) {
  print_int(0, -42, 0);
  print_text(0, ", ok\a", 0);
  print_int(3, 1, 0);  // not the screen: ignored
  EXPECT_EQ(terminal, "-42, ok\a");
}

}  // namespace
}  // namespace runtime
