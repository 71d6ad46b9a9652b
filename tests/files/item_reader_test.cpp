// The item reader over one table of file contents, each read three ways: from
// one block of memory, from a stream that delivers one byte per refill (so
// every byte sits on a block boundary once), and through the numbered-file
// service with its own input statement per item, as the loader reads.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "runtime/files/file_table.h"
#include "runtime/files/item_reader.h"
#include "temp_files.h"

namespace {

using runtime::ByteStream;

struct ReaderCase {
  const char* name;
  std::string content;
  std::vector<int32_t> items;  // every item up to the end; later reads must give 0
};

std::string repeat(const std::string& s, int n) {
  std::string out;
  for (int i = 0; i < n; ++i) out += s;
  return out;
}

const std::string ZEROS_67(67, '0');

std::vector<ReaderCase> reader_cases() {
  const std::vector<int32_t> seven_eight_nine = {7, 8, 9};
  return {
      // One layout after another must read the same three items.
      {"commas", "7,8,9", seven_eight_nine},
      {"spaces", "7 8 9", seven_eight_nine},
      {"space_runs", "7   8  9", seven_eight_nine},
      {"tabs", "7\t8\t9", seven_eight_nine},
      {"lf_lines", "7\n8\n9\n", seven_eight_nine},
      {"crlf_lines", "7\r\n8\r\n9\r\n", seven_eight_nine},
      {"cr_lines", "7\r8\r9\r", seven_eight_nine},
      {"comma_blanks", "7 , 8 ,\t9", seven_eight_nine},
      {"comma_then_blanks", "7,  8,\t\t9", seven_eight_nine},
      {"blanks_at_line_ends", "7  \n8\t\r\n9 \r", seven_eight_nine},
      {"leading_blanks", "  7\n\t8\r\n \t 9", seven_eight_nine},
      {"quoted_each", "\"7\",\"8\" \"9\"", seven_eight_nine},
      {"mixed", "7 ,\t8\r9", seven_eight_nine},
      // Empty items: each stands for one pixel of 0.
      {"two_commas", "7,,8", {7, 0, 8}},
      {"commas_with_blanks_between", "7, \t ,8", {7, 0, 8}},
      {"blank_before_second_comma", "7 ,  ,8", {7, 0, 8}},
      {"comma_at_line_end", "7,\n8", {7, 0, 8}},
      {"comma_at_crlf_end", "7,\r\n8", {7, 0, 8}},
      {"comma_blank_line_end", "7 ,\n8", {7, 0, 8}},
      {"blank_line", "7\n\n8", {7, 0, 8}},
      {"blank_crlf_line", "7\r\n\r\n8", {7, 0, 8}},
      {"two_lone_crs", "7\r\r8", {7, 0, 8}},
      {"line_of_blanks", "7\n \t \n8", {7, 0, 8}},
      {"leading_comma", ",7", {0, 7}},
      {"empty_file", "", {}},
      {"only_blanks", "  \t ", {}},
      {"no_final_line_end", "5", {5}},
      // Bytes of a UTF-8 byte-order mark are just characters of the first item.
      {"byte_order_mark",
       "\xEF\xBB\xBF"
       "5,6\n7",
       {0, 6, 7}},
      // Quoted parts.
      {"quoted", "\"12\",3", {12, 3}},
      {"quoted_blanks_inside", "\" 12 \",3", {12, 3}},
      {"quoted_comma_inside", "\"1,2\",3", {1, 3}},
      {"quoted_then_blank", "\"1 2\" 3", {1, 3}},
      {"quoted_then_more", "\"-3\"4,5", {-34, 5}},
      {"empty_quotes", "\"\",4", {0, 4}},
      {"empty_quotes_then_digits", "\"\"9,1", {9, 1}},
      {"unterminated_quote_lf", "\"5 , 6\n7", {5, 7}},
      {"unterminated_quote_crlf", "\"5\t6\r\n7", {5, 7}},
      {"unterminated_quote_at_end", "\"42", {42}},
      {"late_quote_is_collected", "5\"6\",7", {5, 7}},
      // Radix items.
      {"radix_forms", "&HFF,&hff,&O17,&o17,&17,&B101,&b11", {255, 255, 15, 15, 15, 5, 3}},
      {"radix_empty_digits", "&H,&O,&B,&,&8,&o9,&b2", {0, 0, 0, 0, 0, 0, 0}},
      {"radix_all_bits", "&HFFFFFFFF,&HffffFFFE", {-1, -2}},
      {"radix_wraps", "&H100000005,&H1FFFFFFFF,&O37777777777", {5, -1, -1}},
      {"radix_e_and_d_are_digits", "&HE,&HD,&H1D,&H1.5,&H1e", {14, 13, 29, 1, 30}},
      {"radix_no_sign", "&-5,&H-5", {0, 0}},
      {"radix_after_blank_in_quotes", "\"  &H10\"", {16}},
      // Floating-point items: nearest, halves to even.
      {"float_halves", "0.5,1.5,2.5,3.5,-0.5,-1.5,-2.5", {0, 2, 2, 4, 0, -2, -2}},
      {"float_fractions", "2.7,2.3,-2.7,.5,1.,.", {3, 2, -3, 0, 1, 0}},
      {"float_exponents", "1e2,1E2,1d2,1D2,25e-1,5d,12e", {100, 100, 100, 100, 2, 5, 12}},
      {"float_no_number", "e5,d,.e", {0, 0, 0}},
      {"float_int32_edges",
       "2147483647.4,2147483646.5,-2147483646.5,-2147483647.4",
       {2147483647, 2147483646, -2147483646, -2147483647}},
      {"float_out_of_range",
       "2147483647.5,1e10,-1e10,1e999,-1d999",
       {INT32_MIN, INT32_MIN, INT32_MIN, INT32_MIN, INT32_MIN}},
      {"float_nan_and_inf",
       "nan.,inf.,-infinity.,NAN(1).",
       {INT32_MIN, INT32_MIN, INT32_MIN, INT32_MIN}},
      {"float_underflow", "1e-400", {0}},
      {"float_hex_prefix", "0x1.8,0X1E", {0, 0}},
      {"float_quoted_blanks", "\"  2.5\",\"   \"", {2, 0}},
      // Decimal items, strtoul-style.
      {"signs", "-,+5,-5,+-5,--5,-0", {0, 5, -5, 0, 0, 0}},
      {"trailing_junk", "12abc,abc,0x1F,007", {12, 0, 0, 7}},
      {"thirty_two_bits",
       "4294967295,2147483648,-2147483648,-4294967295",
       {-1, INT32_MIN, INT32_MIN, 1}},
      {"beyond_thirty_two_bits", "4294967296,-4294967296,99999999999999999999", {-1, -1, -1}},
      {"other_white_space", "\v5,\f6", {5, 6}},
      {"zero_byte",
       std::string("1\0"
                   "2,3",
                   5),
       {1, 3}},
      {"high_bytes", "\xFF\xFE,9", {0, 9}},
      // The 67-character limit splits a run; the 68th character begins the next item.
      {"seventy_digits", ZEROS_67 + "123", {0, 123}},
      {"seventy_nines", std::string(70, '9'), {-1, 999}},
      {"sixty_seven_then_lf", ZEROS_67 + "\n5", {0, 5}},
      {"sixty_seven_then_crlf", ZEROS_67 + "\r\n5", {0, 5}},
      {"sixty_seven_then_comma", ZEROS_67 + ",5", {0, 5}},
      {"sixty_seven_then_blanks_and_comma", std::string(66, '0') + "7  ,5", {7, 5}},
      {"sixty_seven_then_blank", std::string(66, '0') + "7 8", {7, 8}},
      {"sixty_seven_then_two_lfs", ZEROS_67 + "\n\n5", {0, 0, 5}},
      {"quoted_run_split", "\"" + std::string(60, ' ') + "1234567 89", {1234567, 89}},
      {"long_float_split", std::string(64, '0') + "2.5" + "7,1", {2, 7, 1}},
      // A character handed back after a lone CR or after a split is the next
      // item's first, whatever comes between.
      {"put_back_after_cr", "7\r-8\r\"9\"", {7, -8, 9}},
      {"put_back_after_blank_run", "1  \t2 &H3 \"4\"", {1, 2, 3, 4}},
      {"many_items", repeat("1,22,", 50),
       [] {
         std::vector<int32_t> v;
         for (int i = 0; i < 50; ++i) v.insert(v.end(), {1, 22});
         return v;
       }()},
  };
}

constexpr int EXTRA_READS = 3;

std::vector<int32_t> read_items(ByteStream& stream, size_t count) {
  std::vector<int32_t> out;
  for (size_t i = 0; i < count; ++i) out.push_back(runtime::item_read(stream));
  return out;
}

std::vector<int32_t> expected_with_tail(const ReaderCase& c) {
  std::vector<int32_t> v = c.items;
  v.insert(v.end(), EXTRA_READS, 0);
  return v;
}

class ReaderTable : public ::testing::TestWithParam<ReaderCase> {};

TEST_P(ReaderTable, FromOneBlock) {
  const ReaderCase& c = GetParam();
  ByteStream stream = runtime::stream_over(c.content.data(), c.content.size());
  EXPECT_EQ(read_items(stream, c.items.size() + EXTRA_READS), expected_with_tail(c));
}

struct Trickle {
  const std::string* text;
  size_t offset;
};

// Hands out the text one byte per refill.
bool trickle_refill(ByteStream& stream) {
  auto& t = *static_cast<Trickle*>(stream.context);
  if (t.offset >= t.text->size()) return false;
  stream.next = reinterpret_cast<const uint8_t*>(t.text->data()) + t.offset;
  stream.end = stream.next + 1;
  ++t.offset;
  return true;
}

TEST_P(ReaderTable, OneByteBlocks) {
  const ReaderCase& c = GetParam();
  Trickle trickle{&c.content, 0};
  ByteStream stream;
  stream.refill = trickle_refill;
  stream.context = &trickle;
  EXPECT_EQ(read_items(stream, c.items.size() + EXTRA_READS), expected_with_tail(c));
}

TEST_P(ReaderTable, ThroughNumberedFile) {
  const ReaderCase& c = GetParam();
  files_test::TempDir dir;
  ASSERT_TRUE(dir.ok());
  const std::string path = dir.write("case.mem", c.content);
  ASSERT_EQ(runtime::text_file_open(path, 1), runtime::RESULT_OK);
  std::vector<int32_t> got;
  for (size_t i = 0; i < c.items.size() + EXTRA_READS; ++i) {
    ASSERT_EQ(runtime::text_file_begin_input(1), runtime::RESULT_OK);
    int32_t value = 12345;
    EXPECT_EQ(runtime::text_file_read_int(value), runtime::RESULT_OK);
    got.push_back(value);
  }
  EXPECT_EQ(runtime::text_file_close(1), runtime::RESULT_OK);
  EXPECT_EQ(got, expected_with_tail(c));
}

INSTANTIATE_TEST_SUITE_P(Items, ReaderTable, ::testing::ValuesIn(reader_cases()),
                         [](const auto& info) { return std::string(info.param.name); });

// A CR LF split across the 8192-byte block boundary of a real file is still
// one line end, and an item split across it is still one item.
TEST(ReaderBlocks, LineEndAndItemAcrossBlockBoundary) {
  files_test::TempDir dir;
  ASSERT_TRUE(dir.ok());
  for (const std::string& tail : {std::string("\r\n5"), std::string("123,5")}) {
    std::string content(8192 - 1, ' ');  // leading blanks are skipped
    content[0] = '1';
    content[1] = ',';
    content += tail;
    const std::string path = dir.write("block.mem", content);
    ASSERT_EQ(runtime::text_file_open(path, 1), runtime::RESULT_OK);
    std::vector<int32_t> got;
    for (int i = 0; i < 4; ++i) {
      runtime::text_file_begin_input(1);
      int32_t v = -7;
      runtime::text_file_read_int(v);
      got.push_back(v);
    }
    runtime::text_file_close(1);
    if (tail[0] == '\r') {
      EXPECT_EQ(got, (std::vector<int32_t>{1, 0, 5, 0})) << "CR LF across the boundary";
    } else {
      EXPECT_EQ(got, (std::vector<int32_t>{1, 123, 5, 0})) << "item across the boundary";
    }
  }
}

}  // namespace
