// The item reader over arbitrary bytes. Beyond not crashing:
//  - every item fits its 67-character budget, and each read consumes at least
//    one byte while any are left, so a file of n bytes holds at most n items
//    and the reader can never spin on one spot;
//  - the put-back store never holds more than the one byte the reader hands back;
//  - the same bytes give the same items whether they arrive in one block, in
//    small uneven blocks, or from a file through the numbered-file service
//    (8192-byte blocks, a new input statement before every item);
//  - after the last byte every read gives 0;
//  - a plain decimal item has the value its digits say.
#include <cstdint>
#include <cstring>
#include <vector>

#include "fuzz/fuzz_check.h"
#include "runtime/files/file_table.h"
#include "runtime/files/int_conversion.h"
#include "runtime/files/item_reader.h"

using namespace runtime;

namespace {

struct Item {
  std::vector<char> text;
  bool floating;
  int32_t value;
};

// Bytes still to come: unread block bytes plus what was handed back.
size_t remaining(const ByteStream& stream, size_t unread_outside_block) {
  return static_cast<size_t>(stream.end - stream.next) + stream.put_back_count +
         unread_outside_block;
}

// Value of an optionally signed run of at most 18 decimal digits, worked out
// here digit by digit rather than through the reader's own conversion.
bool plain_decimal(const Item& item, int32_t& value) {
  const std::vector<char>& t = item.text;
  if (item.floating || t.empty()) return false;
  size_t i = 0;
  const bool negative = t[0] == '-';
  if (t[0] == '-' || t[0] == '+') i = 1;
  if (i == t.size() || t.size() - i > 18) return false;
  uint64_t magnitude = 0;
  for (; i < t.size(); ++i) {
    if (t[i] < '0' || t[i] > '9') return false;
    magnitude = magnitude * 10 + static_cast<uint64_t>(t[i] - '0');
  }
  uint32_t bits = 0xFFFFFFFFu;
  if (magnitude <= 0xFFFFFFFFu) {
    bits = static_cast<uint32_t>(magnitude);
    if (negative) bits = 0u - bits;
  }
  std::memcpy(&value, &bits, sizeof value);
  return true;
}

std::vector<Item> read_in_one_block(const uint8_t* data, size_t size) {
  std::vector<Item> items;
  ByteStream stream = stream_over(data, size);
  while (remaining(stream, 0) > 0) {
    const size_t before = remaining(stream, 0);
    ItemText text;
    item_collect(stream, text);
    const size_t after = remaining(stream, 0);
    FUZZ_CHECK(text.length <= ITEM_MAX_LENGTH);
    FUZZ_CHECK(text.text[text.length] == 0);
    FUZZ_CHECK(stream.put_back_count <= 1);
    FUZZ_CHECK(after < before);
    FUZZ_CHECK(before - after >= text.length);
    items.push_back({std::vector<char>(text.text, text.text + text.length), text.floating,
                     item_to_int32(text.text, text.length, text.floating)});
    FUZZ_CHECK(items.size() <= size);
  }
  for (int i = 0; i < 3; ++i) {
    ItemText text;
    item_collect(stream, text);
    FUZZ_CHECK(text.length == 0);
    FUZZ_CHECK(item_read(stream) == 0);
  }
  return items;
}

// A stream fed in blocks of 1 to 7 bytes, the sizes taken from the data.
struct Chunks {
  const uint8_t* data;
  size_t size;
  size_t offset;
};

bool refill_small(ByteStream& stream) {
  auto& c = *static_cast<Chunks*>(stream.context);
  if (c.offset >= c.size) return false;
  const size_t chunk = std::min<size_t>(1 + c.data[c.offset] % 7, c.size - c.offset);
  stream.next = c.data + c.offset;
  stream.end = stream.next + chunk;
  c.offset += chunk;
  return true;
}

void compare_with_small_blocks(const uint8_t* data, size_t size, const std::vector<Item>& items) {
  Chunks chunks{data, size, 0};
  ByteStream stream;
  stream.refill = refill_small;
  stream.context = &chunks;
  for (const Item& expected : items) {
    ItemText text;
    item_collect(stream, text);
    FUZZ_CHECK(text.length == expected.text.size());
    FUZZ_CHECK(text.length == 0 || std::memcmp(text.text, expected.text.data(), text.length) == 0);
    FUZZ_CHECK(text.floating == expected.floating);
  }
  FUZZ_CHECK(item_read(stream) == 0);
  FUZZ_CHECK(stream.put_back_count == 0 && chunks.offset == size);
}

void compare_with_file(const uint8_t* data, size_t size, const std::vector<Item>& items) {
  static const std::string path = fuzz::scratch_path("items.mem");
  FUZZ_CHECK(fuzz::write_file(path, data, size));
  const int32_t number = text_file_free_number();
  FUZZ_CHECK(number == 1);
  FUZZ_CHECK(text_file_open(path, number) == RESULT_OK);
  for (size_t i = 0; i < items.size() + 2; ++i) {
    int32_t value = 12345;
    FUZZ_CHECK(text_file_begin_input(number) == RESULT_OK);
    FUZZ_CHECK(text_file_read_int(value) == RESULT_OK);
    FUZZ_CHECK(value == (i < items.size() ? items[i].value : 0));
  }
  FUZZ_CHECK(text_file_close(number) == RESULT_OK);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::vector<Item> items = read_in_one_block(data, size);
  for (const Item& item : items) {
    int32_t expected = 0;
    if (plain_decimal(item, expected)) FUZZ_CHECK(item.value == expected);
  }
  compare_with_small_blocks(data, size, items);
  compare_with_file(data, size, items);
  return 0;
}
