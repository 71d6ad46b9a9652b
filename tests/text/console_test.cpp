// The text operations with no graphics screen open: the control sequences a
// terminal receives for colours, cursor, size and clearing.
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "runtime/screen/results.h"
#include "runtime/text/console.h"
#include "runtime/text/program_end.h"
#include "runtime/text/screen_clear.h"
#include "runtime/text/text_output.h"

namespace {

using namespace runtime;

class Console : public ::testing::Test {
 protected:
  void SetUp() override {
    console_capture(&terminal, 80, 25);
    text_view(0, 0);
    terminal.clear();
  }
  void TearDown() override { console_capture(nullptr); }
  // What the terminal received since the last call.
  std::string received() { return std::exchange(terminal, std::string()); }
  std::string terminal;
};

TEST_F(Console, ColoursKeepFourBitsInTerminalOrder) {
  EXPECT_EQ(text_colour(15, 1, 0), 0 * 65536 + 7);
  EXPECT_EQ(received(), "\x1b[0;97;44m");
  EXPECT_EQ(text_colour(20, 33, 0), 1 * 65536 + 15);
  EXPECT_EQ(text_colour(6, 0, 2), 1 * 65536 + 4);  // keeps the background
  EXPECT_EQ(received(), "\x1b[0;31;44m\x1b[0;33;44m");
}

TEST_F(Console, LocateMovesInsideTheConsoleAndShowsOrHidesTheCursor) {
  EXPECT_EQ(text_locate(5, 10, -1, 0, 0), 65536 + 5 * 256 + 10);
  EXPECT_EQ(text_locate(0, 0, 0, 0, 0), 5 * 256 + 10);
  EXPECT_EQ(text_locate(26, 1, -1, 0, 0), 5 * 256 + 10);
  EXPECT_EQ(text_locate(1, 81, -1, 0, 0), 5 * 256 + 10);
  EXPECT_EQ(text_locate(25, 80, 1, 0, 0), 65536 + 25 * 256 + 80);
  EXPECT_EQ(received(), "\x1b[5;10H\x1b[?25l\x1b[25;80H\x1b[?25h");
}

TEST_F(Console, WidthSetsTheSizeAndReportsIt) {
  EXPECT_EQ(console_width(1, -1), 0);
  EXPECT_EQ(console_width(-1, 1), 0);
  EXPECT_EQ(console_width(0, 0), 1 + 1 * 65536);
  EXPECT_EQ(console_width(40000, 40000), 0);
  EXPECT_EQ(console_width(-5, -5), 32767 + 32767 * 65536);
  EXPECT_NE(received().find("\x1b[8;1;1t"), std::string::npos);
}

TEST_F(Console, ClearWritesTheViewportRowsBlank) {
  text_view(3, 4);
  received();
  screen_clear(ARG_OMITTED);
  const std::string blanks(80, ' ');
  EXPECT_EQ(received(), "\x1b[0;37;40m\x1b[3;1H" + blanks + "\x1b[4;1H" + blanks + "\x1b[3;1H");
  screen_clear(1);
  EXPECT_EQ(received(), "");
  screen_clear(2);
  EXPECT_EQ(received().substr(0, 16), "\x1b[0;37;40m\x1b[3;1H");
}

TEST_F(Console, CloseLeavesItEightyByTwentyFiveAndCleared) {
  console_width(100, 30);
  received();
  EXPECT_EQ(screen_close(0, 0, 0, 0, 0), RESULT_OK);
  const std::string out = received();
  for (const std::string& part : {std::string("\x1b[8;25;80t"), std::string("\x1b[H\x1b[2J"),
                                  "\x1b[25;1H" + std::string(80, ' ') + "\x1b[1;1H"}) {
    EXPECT_NE(out.find(part), std::string::npos) << part;
  }
}

TEST_F(Console, PrintedTextPassesThrough) {
  print_int(0, -42, 0);
  print_text(0, ", ok\a", 1);
  print_int(3, 1, 0);  // not the screen: ignored
  print_int(0, -2147483647 - 1, 16);
  print_int(0, 0, 0);
  EXPECT_EQ(received(), "-42, ok\a\r\n-2147483648  0");
  print_text(0, "\nab", 0);  // a line feed alone starts the line too
  EXPECT_EQ(text_locate(0, 0, -1, 0, 0) & 0xFFFF, 3 * 256 + 3);
}

}  // namespace
