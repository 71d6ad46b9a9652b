// The text operations with no graphics screen open: the control sequences a
// terminal receives for colours, cursor, size and clearing, and a terminal
// model fed those bytes, which must agree with what the operations report.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "runtime/screen/paged_screen.h"
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
  EXPECT_EQ(text_locate(0, 3, -1, 0, 0), 65536 + 25 * 256 + 3);  // the row stays
  text_view(3, 10);
  EXPECT_EQ(text_locate(1, 1, -1, 0, 0), 65536 + 3 * 256 + 1);  // above the viewport
}

TEST_F(Console, WidthSetsTheSizeAndReportsIt) {
  text_viewport() = TextViewport{};  // as the program starts: the whole console
  EXPECT_EQ(text_view(-1, -1), 25 * 65536 + 1);
  EXPECT_EQ(console_width(1, -1), 0);
  EXPECT_EQ(console_width(-1, 1), 0);
  EXPECT_EQ(console_width(0, 0), 1 + 1 * 65536);
  EXPECT_EQ(text_view(1, 2) + text_view(1, 1), 1 * 65536 + 1);  // one row now
  EXPECT_EQ(console_width(32768, 32768), 0);
  EXPECT_EQ(console_width(-5, -5), 32767 + 32767 * 65536);
  EXPECT_NE(received().find("\x1b[8;1;1t"), std::string::npos);
  console_width(80, 25);
  text_view(3, 10);
  text_view(0, -1);  // 0 stands for an end, -1 keeps it
  EXPECT_EQ(text_view(-1, 0), 25 * 65536 + 1);
  text_locate(25, 79, -1, 0, 0);
  print_text(0, "x", 0);   // waits in the last column to wrap
  console_resize(40, 10);  // the cursor stays inside, with no wrap pending
  print_text(0, "y", 0);
  EXPECT_EQ(text_locate(0, 0, -1, 0, 0) & 0xFFFF, 10 * 256 + 40);
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
  text_viewport() = TextViewport{};  // as the program starts: the whole console
  screen_clear(ARG_OMITTED);
  EXPECT_EQ(received().substr(0, 17), "\x1b[0;37;40m\x1b[H\x1b[2J");
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
  print_text(3, "x", 1);
  print_int(0, -2147483647 - 1, 16);
  print_int(0, 0, 1);  // a new line, and no space before it
  EXPECT_EQ(received(), "-42, ok\a\r\n-2147483648  0\r\n");
  print_text(0, "\nab", 0);  // a line feed alone starts the line too
  EXPECT_EQ(text_locate(0, 0, -1, 0, 0) & 0xFFFF, 4 * 256 + 3);
  // A character in the last column waits there; a backspace or a carriage
  // return then acts on that line, with no wrap first.
  print_text(0, std::string(78, 'x') + "\b", 0);
  EXPECT_EQ(text_locate(0, 0, -1, 0, 0) & 0xFFFF, 4 * 256 + 79);
  print_text(0, "yz\r", 0);
  EXPECT_EQ(text_locate(0, 0, -1, 0, 0) & 0xFFFF, 4 * 256 + 1);
}

// A terminal as xterm keeps one: a grid of characters, a cursor that stays in
// the last column until the next character wraps, a line feed that starts a
// new line (the terminal's output processing), and the sequences the console
// writes: cursor position, erase, colours, cursor visibility and size.
struct Terminal {
  int32_t columns = 80, rows = 25, row = 0, column = 0, foreground = 7, background = 0;
  bool visible = true, wrap = false;
  std::vector<std::string> grid = std::vector<std::string>(25, std::string(80, ' '));

  void new_line() {
    column = 0;
    if (row + 1 < rows) return void(++row);
    grid.erase(grid.begin());
    grid.emplace_back(static_cast<size_t>(columns), ' ');
  }
  static int32_t palette_colour(int32_t sgr) {  // 30..37 and 90..97, or 40..47 and 100..107
    const int32_t a = sgr % 10;
    return ((a & 1) << 2 | (a & 2) | (a >> 2 & 1)) + (sgr >= 90 ? 8 : 0);
  }
  void feed(std::string_view bytes) {
    for (size_t i = 0; i < bytes.size(); ++i) {
      const char c = bytes[i];
      if (c == '\x1b') {
        const size_t end = bytes.find_first_of("HJmthl", i);
        std::vector<int32_t> n;
        for (size_t at = i + 2; at < end; ++at) {
          if (at == i + 2 || bytes[at - 1] == ';') n.push_back(0);
          if (bytes[at] >= '0' && bytes[at] <= '9') n.back() = n.back() * 10 + bytes[at] - '0';
        }
        n.resize(3, 0);
        wrap = wrap && bytes[end] != 'H' && bytes[end] != 't';  // colours keep a pending wrap
        if (bytes[end] == 'H') row = std::max(n[0], 1) - 1, column = std::max(n[1], 1) - 1;
        if (bytes[end] == 'J') grid.assign(grid.size(), std::string(grid[0].size(), ' '));
        if (bytes[end] == 'm') foreground = palette_colour(n[1]), background = palette_colour(n[2]);
        if (bytes[end] == 'h' || bytes[end] == 'l') visible = bytes[end] == 'h';
        if (bytes[end] == 't') {
          rows = n[1], columns = n[2];
          grid.resize(static_cast<size_t>(rows));
          for (std::string& line : grid) line.resize(static_cast<size_t>(columns), ' ');
          row = std::min(row, rows - 1), column = std::min(column, columns - 1);
        }
        i = end;
      } else if (c == '\r' || c == '\n' || c == '\b') {
        if (c == '\b' && column > 0) --column;
        if (c == '\r') column = 0;
        if (c == '\n') new_line();
        wrap = false;
      } else if (c != '\a') {
        if (std::exchange(wrap, false)) new_line();
        grid[static_cast<size_t>(row)][static_cast<size_t>(column)] = c;
        if (column + 1 < columns)
          ++column;
        else
          wrap = true;
      }
    }
  }
};

TEST_F(Console, ATerminalFedItsBytesAgreesWithWhatTheOperationsReport) {
  Terminal t;
  std::mt19937 random(5);
  const auto pick = [&](int32_t low, int32_t high) {
    return low + static_cast<int32_t>(random() % static_cast<uint32_t>(high - low + 1));
  };
  for (int step = 0; step < 3000; ++step) {
    SCOPED_TRACE("step " + std::to_string(step));
    const std::vector<std::string> before = t.grid;
    const int32_t op = pick(0, 9), rows = t.rows;
    if (op <= 3) {
      std::string text;
      for (int32_t n = pick(0, 3) ? pick(0, 12) : pick(70, 200); n > 0; --n)
        text += "abcdefghij  \r\n\b\a"[pick(0, pick(0, 3) ? 9 : 15)];
      print_text(0, text, std::array{0, 1, 2, 4}[static_cast<size_t>(pick(0, 3))]);
    } else if (op == 4) {
      text_locate(pick(-1, rows + 1), pick(-1, t.columns + 1), pick(-1, 2), 0, 0);
    } else if (op == 5) {
      text_colour(pick(0, 20), pick(0, 20), pick(0, 3));
    } else if (op == 6) {
      text_view(pick(-1, rows + 1), pick(-1, rows + 1));
    } else if (op == 7) {
      console_width(std::array{0, 1, 20, 80, 100}[static_cast<size_t>(pick(0, 4))],
                    std::array{0, 1, 5, 25, 30}[static_cast<size_t>(pick(0, 4))]);
    } else {
      const int32_t mode = std::array{ARG_OMITTED, 0, 1, 2}[static_cast<size_t>(pick(0, 3))];
      const int32_t view = text_view(-1, -1);
      screen_clear(mode);
      t.feed(received());
      // The viewport's rows as far as the console has them; mode 0 clears all.
      const int32_t last = mode == 0 ? rows : std::min(view >> 16, rows);
      const int32_t first = mode == 0 ? 1 : std::min(view & 0xFFFF, last);
      for (int32_t r = 0; r < rows && mode != 1; ++r) {
        const bool cleared = r >= first - 1 && r < last;
        EXPECT_EQ(t.grid[static_cast<size_t>(r)],
                  cleared ? std::string(static_cast<size_t>(t.columns), ' ')
                          : before[static_cast<size_t>(r)])
            << "row " << r + 1;
      }
    }
    t.feed(received());
    ASSERT_EQ(text_locate(0, 0, -1, 0, 0),
              (t.row + 1) * 256 + t.column + 1 + (t.visible ? 65536 : 0));
    ASSERT_EQ(text_colour(0, 0, 3), t.background * 65536 + t.foreground);
    ASSERT_EQ(console_width(0, 0), t.columns + t.rows * 65536);
  }
}

// The game's way out: the console comes back 80 x 25 in bright white on blue
// whatever size it had, and the process ends with 0 (the state at the end is
// told on standard error by a handler that runs at exit).
TEST(ConsoleExit, LeavesTheConsoleEightyByTwentyFiveInWhiteOnBlue) {
  EXPECT_EXIT(
      {
        static std::string sink;
        console_capture(&sink, 100, 30);
        std::atexit([] {
          std::fprintf(stderr, "size %d colours %d\n", console_width(0, 0), text_colour(0, 0, 3));
        });
        console_restore();
      },
      testing::ExitedWithCode(0), "size 1638480 colours 65551");
}

// On a real terminal of 37 x 11 the console starts at the terminal's size
// (at 80 x 25 when the terminal reports 0 either way), and clearing writes
// its blanks no wider and no lower than the terminal, whatever size the
// program asked for: past the edge a blank would wrap.
TEST(ConsoleDevice, StartsAtTheTerminalsSizeAndClearsNoFurther) {
  const int master = posix_openpt(O_RDWR | O_NOCTTY);
  ASSERT_TRUE(master >= 0 && grantpt(master) == 0 && unlockpt(master) == 0);
  const int terminal = open(ptsname(master), O_RDWR | O_NOCTTY);
  const winsize size{11, 37, 0, 0};
  ASSERT_EQ(ioctl(terminal, TIOCSWINSZ, &size), 0);
  std::fflush(stdout);
  const int saved = dup(1);
  dup2(terminal, 1);
  console_capture(nullptr);  // the state of program start
  const auto terminal_got = [master] {
    std::string out;
    char block[4096];
    for (pollfd ready{master, POLLIN, 0}; poll(&ready, 1, 200) == 1;) {
      const ssize_t got = read(master, block, sizeof block);
      if (got <= 0) break;
      out.append(block, static_cast<size_t>(got));
    }
    return out;
  };
  // A terminal that does not know its size is taken as 80 x 25.
  int32_t unsized = 0;
  for (const winsize none : {winsize{0, 37, 0, 0}, winsize{11, 0, 0, 0}}) {
    ioctl(terminal, TIOCSWINSZ, &none);
    console_capture(nullptr);
    unsized += console_width(0, 0) != 80 + 25 * 65536;
  }
  ioctl(terminal, TIOCSWINSZ, &size);
  console_capture(nullptr);
  text_viewport() = TextViewport{};                      // as the program starts: the whole console
  const int32_t corner = text_locate(11, 37, -1, 0, 0);  // the first call learns the size too
  console_flush();
  std::fflush(stdout);
  terminal_got();
  const int32_t started = console_width(0, 0);
  console_width(80, 25);
  const std::string resized = terminal_got();  // at once, not at the next flush
  screen_clear(0);
  console_capture(nullptr);
  screen_clear(0);  // as the first call, it learns the size too
  std::fflush(stdout);
  dup2(saved, 1);
  console_capture(nullptr);
  const std::string out = terminal_got();
  for (const int fd : {saved, terminal, master}) close(fd);
  EXPECT_EQ(unsized, 0);
  EXPECT_EQ(started, 37 + 11 * 65536);
  EXPECT_EQ(corner & 0xFFFF, 11 * 256 + 37);
  EXPECT_EQ(resized.substr(0, 10), "\x1b[8;25;80t");
  int32_t rows = 0;
  for (size_t at = 0; (at = out.find(";1H" + std::string(37, ' '), at)) != std::string::npos; ++at)
    rows += out[at + 40] != ' ';
  EXPECT_EQ(rows, 2 * 11) << out;
}

}  // namespace
