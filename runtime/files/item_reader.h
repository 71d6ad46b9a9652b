// The item reader: one integer item of a text file, collected byte by byte
// from a buffered stream with a small put-back store, then converted.
//
// A ByteStream is a window onto a block of bytes plus a refill hook that loads
// the next block, so the same reader runs over a file (file_table.cpp) and over
// memory (tests, benchmarks). Nothing here is shared: a stream belongs to the
// thread that reads it, and the reader touches nothing else.
#pragma once

#include <cstddef>
#include <cstdint>

namespace runtime {

// End of input as a character value (real bytes are 0 to 255).
constexpr int STREAM_END = -1;

constexpr size_t PUT_BACK_CAPACITY = 4;

struct ByteStream {
  const uint8_t* next = nullptr;  // unread bytes of the current block
  const uint8_t* end = nullptr;
  // Loads the next block into next..end; false at end of input (or a read
  // error, which counts the same). Null: there is no more than the block.
  bool (*refill)(ByteStream& stream) = nullptr;
  void* context = nullptr;  // for refill's use
  // Bytes delivered so far, the current block included: the offset of `end`
  // in the input. A refill adds what it loads; only stream_offset reads it.
  uint64_t loaded = 0;
  // Bytes handed back by the reader; the last one handed back is read first.
  uint8_t put_back[PUT_BACK_CAPACITY] = {};
  uint8_t put_back_count = 0;
};

// A stream over a fixed block of memory (no refill).
inline ByteStream stream_over(const void* data, size_t size) {
  ByteStream stream;
  stream.next = static_cast<const uint8_t*>(data);
  stream.end = stream.next + size;
  stream.loaded = size;
  return stream;
}

// Offset in the input of the next byte stream_get will give. Every byte the
// reader hands back is the one it read last, so the put-back store is always
// the bytes just before `next`.
inline uint64_t stream_offset(const ByteStream& stream) {
  return stream.loaded - static_cast<uint64_t>(stream.end - stream.next) - stream.put_back_count;
}

// The next byte (0 to 255), put-back bytes first, or STREAM_END.
inline int stream_get(ByteStream& stream) {
  if (stream.put_back_count > 0) {
    return stream.put_back[--stream.put_back_count];
  }
  while (stream.next == stream.end) {
    if (stream.refill == nullptr || !stream.refill(stream)) {
      return STREAM_END;
    }
  }
  return *stream.next++;
}

// Hands one byte back. The reader never holds more than one at a time, so a
// full store (which cannot happen through item_read) keeps what it has.
inline bool stream_put_back(ByteStream& stream, int byte) {
  if (byte < 0 || stream.put_back_count >= PUT_BACK_CAPACITY) {
    return false;
  }
  stream.put_back[stream.put_back_count++] = static_cast<uint8_t>(byte);
  return true;
}

// Longest item; a longer run of characters is split into several items.
constexpr size_t ITEM_MAX_LENGTH = 67;

// The collected characters of one item. text[length] is always 0, but the
// text may hold 0 bytes of its own: length is what counts.
struct ItemText {
  char text[ITEM_MAX_LENGTH + 1] = {};
  size_t length = 0;
  bool floating = false;  // a point, E or D came before any ampersand
  // Where the item begins, for tools that point at it: the offset of the
  // first byte after its leading blanks, and that byte. For an empty item the
  // byte is what ended it (a comma or line end) or STREAM_END.
  uint64_t start = 0;
  int first = STREAM_END;
};

// Collects the next item and consumes the separator after it.
void item_collect(ByteStream& stream, ItemText& item);

// Collects the next item and converts it; an empty item and end of input give 0.
int32_t item_read(ByteStream& stream);

}  // namespace runtime
