#include "pack/mem_file.h"

#include <algorithm>
#include <fstream>
#include <numeric>

#include "runtime/files/file_table.h"
#include "runtime/files/int_conversion.h"
#include "runtime/files/item_reader.h"

namespace pack {
namespace {

MemItem item_of(const runtime::ItemText& text) {
  MemItem item;
  size_t used = 0;
  item.value = runtime::item_to_int32(text.text, text.length, text.floating, &used);
  item.start = text.start;
  item.first = text.first;
  item.empty = text.length == 0;
  item.number = item.empty || used == text.length;
  item.text.assign(text.text, text.length);
  return item;
}

}  // namespace

bool mem_read(const std::string& path, int64_t count, MemFile& file) {
  file = MemFile{};
  const int32_t number = runtime::text_file_free_number();
  if (number == 0 || runtime::text_file_open(path, number) != runtime::RESULT_OK) return false;
  runtime::ItemText text;
  for (;;) {
    // As the loader does: one input statement per item.
    runtime::text_file_begin_input(number);
    runtime::text_file_read_item(text);
    if (text.length == 0 && text.first == runtime::STREAM_END) {
      file.end = text.start;
      break;
    }
    if (static_cast<int64_t>(file.items.size()) < count) {
      file.items.push_back(item_of(text));
    } else if (text.length > 0) {
      // Empty items after the picture's last change nothing; the first item
      // with characters is text the game never reads.
      file.has_extra = true;
      file.extra = item_of(text);
      break;
    }
  }
  runtime::text_file_close(number);
  return true;
}

std::vector<uint8_t> mem_pixels(const MemFile& file, int64_t count) {
  std::vector<uint8_t> pixels(static_cast<size_t>(count), 0);
  for (size_t i = 0; i < file.items.size() && i < pixels.size(); ++i) {
    pixels[i] = static_cast<uint8_t>(file.items[i].value);
  }
  return pixels;
}

std::string mem_text(uint32_t width, uint32_t height, const std::vector<uint8_t>& pixels) {
  std::string text;
  text.reserve(size_t{width} * height * 3);
  for (uint32_t y = 0; y < height; ++y) {
    for (uint32_t x = 0; x < width; ++x) {
      if (x > 0) text += ',';
      text += std::to_string(pixels[size_t{y} * width + x]);
    }
    text += '\n';
  }
  return text;
}

std::vector<TextPosition> mem_positions(const std::string& path,
                                        const std::vector<uint64_t>& offsets) {
  std::vector<TextPosition> positions(offsets.size());
  std::vector<size_t> order(offsets.size());
  std::iota(order.begin(), order.end(), size_t{0});
  std::sort(order.begin(), order.end(),
            [&](size_t a, size_t b) { return offsets[a] < offsets[b]; });
  std::ifstream in(path, std::ios::binary);
  TextPosition here;
  uint64_t offset = 0;
  int previous = -1;
  for (size_t k = 0; k < order.size();) {
    if (offsets[order[k]] <= offset) {
      positions[order[k++]] = here;
      continue;
    }
    const int c = in.get();
    if (c == std::char_traits<char>::eof()) {
      offset = UINT64_MAX;  // the rest lie at the end
      continue;
    }
    ++offset;
    if (c == '\r' || (c == '\n' && previous != '\r')) {
      here = TextPosition{here.line + 1, 1, true};
    } else if (c != '\n') {
      ++here.column;
      here.blank_before = here.blank_before && (c == ' ' || c == '\t');
    }
    previous = c;
  }
  return positions;
}

}  // namespace pack
