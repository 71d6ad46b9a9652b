// A .mem file as the game reads it: its items taken one by one through the
// runtime's text-file service, each with where it stands in the file, so the
// tool reports on exactly what the loader would read. Also the one layout the
// tool writes, and line and column numbers for byte offsets.
// Game's thread only (the text-file service's rule).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace pack {

struct MemItem {
  int32_t value = 0;   // what text_file_read_int gives for it
  uint64_t start = 0;  // byte offset of its first character (or of what ended it, when empty)
  int first = -1;      // that byte, or STREAM_END
  bool empty = false;  // no characters at all: reads as 0
  bool number = true;  // its whole text is a number the reader takes
  std::string text;    // the collected characters
};

struct MemFile {
  std::vector<MemItem> items;  // the items the picture takes; fewer when the file is short
  uint64_t end = 0;            // offset where the input ended, for a short file
  bool has_extra = false;      // an item with characters after those the picture takes
  MemItem extra;               // the first such item
};

// Reads the file at `path` as a picture of `count` pixels. False when the
// file cannot be opened for reading (missing, not a regular file, no
// permission), as the loader's open would find.
bool mem_read(const std::string& path, int64_t count, MemFile& file);

// The picture's bytes as the loader plots them: each value's low 8 bits, and
// 0 for every pixel past the file's end.
std::vector<uint8_t> mem_pixels(const MemFile& file, int64_t count);

// One picture row per line, items separated by commas, LF line ends, no
// trailing comma: the layout that holds no empty item.
std::string mem_text(uint32_t width, uint32_t height, const std::vector<uint8_t>& pixels);

struct TextPosition {
  uint64_t line = 1;         // 1-based; LF, CR LF and a lone CR each end a line, as for the reader
  uint64_t column = 1;       // 1-based, in bytes
  bool blank_before = true;  // only spaces and tabs stand before it on its line
};

// The positions of byte offsets of the file at `path`, in the order given.
// Offsets past the file's end get the position of its end.
std::vector<TextPosition> mem_positions(const std::string& path,
                                        const std::vector<uint64_t>& offsets);

}  // namespace pack
