// The libFuzzer target over the code that takes arbitrary bytes: the first
// byte picks the subject, the rest is its input. Beyond not crashing:
//  even: the item reader. Every item within 67 characters, at least one byte
//    read per item, the same items in 1-to-7-byte blocks and through the
//    numbered-file service, then 0 for ever.
//  odd: text_write from any viewport, cursor, colours and page roles.
//    Nothing changes outside the work page's viewport; the cursor stays in it.
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "runtime/files/file_table.h"
#include "runtime/files/int_conversion.h"
#include "runtime/screen/paged_screen.h"
#include "runtime/screen/screen_open.h"
#include "runtime/text/text_output.h"
#include "runtime/window/headless_back_end.h"

using namespace runtime;

namespace {

void check(bool holds, const char* invariant) {
  if (holds) return;
  std::fprintf(stderr, "invariant broken: %s\n", invariant);
  std::abort();  // libFuzzer keeps the input as a crash
}

const std::string FILE_PATH = "/tmp/tilewalk-fuzz-" + std::to_string(::getpid());

bool small_blocks(ByteStream& stream) {
  auto& left = *static_cast<std::string_view*>(stream.context);
  if (left.empty()) return false;
  const size_t size = std::min<size_t>(1 + static_cast<uint8_t>(left[0]) % 7, left.size());
  stream.next = reinterpret_cast<const uint8_t*>(left.data());
  stream.end = stream.next + size;
  left.remove_prefix(size);
  return true;
}

void items(std::string_view bytes) {
  std::vector<int32_t> values;
  ByteStream block = stream_over(bytes.data(), bytes.size());
  while (block.next != block.end || block.put_back_count > 0) {
    const auto left = block.end - block.next + block.put_back_count;
    ItemText item;
    item_collect(block, item);
    check(item.length <= ITEM_MAX_LENGTH && block.end - block.next + block.put_back_count < left,
          "an item within 67 characters, at least one byte read");
    values.push_back(item_to_int32(item.text, item.length, item.floating));
  }
  std::string_view left = bytes;
  ByteStream trickle;
  trickle.refill = small_blocks;
  trickle.context = &left;
  std::ofstream(FILE_PATH, std::ios::binary) << bytes;
  check(text_file_open(FILE_PATH, 1) == RESULT_OK, "the file opens");
  for (size_t i = 0; i < values.size() + 2; ++i) {
    const int32_t want = i < values.size() ? values[i] : 0;
    int32_t value = 0;
    text_file_begin_input(1);
    text_file_read_int(value);
    check(item_read(trickle) == want && value == want, "the same items in any blocks");
  }
  text_file_close(1);
}

void text(std::string_view bytes) {
  if (bytes.size() < 8) return;
  const auto at = [&](size_t i) { return static_cast<uint8_t>(bytes[i]); };
  PagedScreen& screen = *screen_current();
  screen_set_pages(at(6) % 8, at(7) % 8);
  text_view(at(0) % 26, at(1) % 26);
  text_locate(at(2) % 27, at(3) % 42, -1, 0, 0);
  text_colour(at(4), at(5), 0);
  const int32_t view = text_view(-1, -1);
  const size_t top = static_cast<size_t>((view & 0xFFFF) - 1) * 8 * 320;
  const size_t bottom = static_cast<size_t>(view >> 16) * 8 * 320;
  const std::vector<uint8_t> before = screen.page_memory;
  const size_t split = at(0) % (bytes.size() - 7);  // two writes: a wrap left pending is taken up
  text_write(bytes.substr(8, split));
  text_write(bytes.substr(8 + split));
  std::vector<uint8_t> want = before;  // with the work page's viewport rows as they are now
  const auto viewport =
      screen.page_memory.begin() + static_cast<ptrdiff_t>(at(6) % 8 * screen.page_stride);
  std::copy(viewport + static_cast<ptrdiff_t>(top), viewport + static_cast<ptrdiff_t>(bottom),
            want.begin() + (viewport - screen.page_memory.begin()) + static_cast<ptrdiff_t>(top));
  check(want == screen.page_memory, "nothing drawn outside the viewport");
  check(screen.text.cursor_column < 40 && screen.text.cursor_row >= (view & 0xFFFF) - 1 &&
            screen.text.cursor_row < view >> 16,
        "the cursor inside the viewport");
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  headless_install();
  check(screen_open(320, 200, 4, 8, 0, 0) == RESULT_OK, "a screen opens");
  std::atexit(screen_release);  // the window thread stops before the statics it uses go
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
  (data[0] % 2 ? text : items)(bytes);
  return 0;
}
