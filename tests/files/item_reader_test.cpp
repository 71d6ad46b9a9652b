// The item reader against the table in items.txt, and how much of an item
// the conversion reads as its number.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <fstream>
#include <sstream>

#include "runtime/files/file_table.h"
#include "runtime/files/int_conversion.h"

namespace {

using namespace runtime;

// The quoted bytes of a table line: C escapes, \xHH, and c{N} for N copies of c.
std::string unquote(const std::string& line, size_t& at) {
  std::string out;
  for (++at; line[at] != '"'; ++at) {
    const bool escaped = line[at] == '\\';
    const char c = line[at += escaped];
    const size_t plain = std::string("nrtvf").find(c);
    if (escaped && c == 'x') {
      out += static_cast<char>(std::stoi(line.substr(at + 1, 2), nullptr, 16));
      at += 2;
    } else if (!escaped && c == '{') {
      const size_t close = line.find('}', at);
      out.append(std::stoul(line.substr(at + 1, close - at - 1)) - 1, out.back());
      at = close;
    } else {
      out += escaped && plain != std::string::npos ? "\n\r\t\v\f"[plain] : c;
    }
  }
  ++at;
  return out;
}

bool one_byte_refill(ByteStream& stream) {
  auto& left = *static_cast<std::string_view*>(stream.context);
  stream.next = reinterpret_cast<const uint8_t*>(left.data());
  stream.end = stream.next + (left.empty() ? 0 : 1);
  left.remove_prefix(left.empty() ? 0 : 1);
  return stream.next != stream.end;
}

// Each case from one block, one byte per refill and through the numbered-file
// service; three more reads after its items give 0.
TEST(ItemReader, ReadsTheTable) {
  std::ifstream table("tests/files/items.txt");
  const std::string path = "/tmp/tilewalk-items-" + std::to_string(::getpid());
  int cases = 0;
  for (std::string line; std::getline(table, line); cases += line[0] == '"') {
    if (line.empty() || line[0] != '"') continue;
    SCOPED_TRACE(line);
    size_t at = 0;
    const std::string bytes = unquote(line, at);
    std::vector<int32_t> want;
    std::istringstream items(line.substr(at));
    for (int64_t item = 0; items >> item;) want.push_back(static_cast<int32_t>(item));
    want.insert(want.end(), 3, 0);
    std::string_view left = bytes;
    ByteStream block = stream_over(bytes.data(), bytes.size()), trickle;
    trickle.refill = one_byte_refill;
    trickle.context = &left;
    std::ofstream(path, std::ios::binary) << bytes;
    ASSERT_EQ(text_file_open(path, 1), RESULT_OK);
    std::vector<int32_t> from_block, from_trickle, from_file;
    for (size_t i = 0; i < want.size(); ++i) {
      from_block.push_back(item_read(block));
      from_trickle.push_back(item_read(trickle));
      text_file_begin_input(1);
      text_file_read_int(from_file.emplace_back(12345));
    }
    text_file_close(1);
    EXPECT_EQ(from_block, want);
    EXPECT_EQ(from_trickle, want);
    EXPECT_EQ(from_file, want);
  }
  EXPECT_GT(cases, 50);
  ::unlink(path.c_str());
}

// A tool tells "12abc" from a plain number by how far the conversion read:
// 0 when it found no digits, whatever the caller's variable held before.
// Nothing past the item's end is read, a digit there included.
TEST(ItemReader, ConversionsSayHowFarTheyRead) {
  struct Case {
    const char* text;
    bool floating;
    size_t used;
  };
  for (const auto& [text, floating, want] : {Case{"  ", false, 0},
                                             {" 12abc", false, 3},
                                             {"&H1Fz", false, 4},
                                             {"&O17", false, 4},
                                             {" 12", false, 3},
                                             {"2.5", true, 3},
                                             {"&", false, 0},
                                             {" 2.5e", true, 4},
                                             {"0x1.", true, 0},
                                             {"", true, 0}}) {
    size_t used = 99;
    item_to_int32((std::string(text) + "7").c_str(), std::strlen(text), floating, &used);
    EXPECT_EQ(used, want) << text;
  }
}

}  // namespace
