#include <new>

#include "runtime/input/key_buffer.h"

namespace runtime {

namespace {

constexpr int32_t SLOT_COUNT = 16;

// Indices stored in a buffer are always 0..15; a value from anywhere else is
// wrapped rather than used to index out of the ring.
int32_t wrap(int32_t index) {
  return static_cast<int32_t>(static_cast<uint32_t>(index) % SLOT_COUNT);
}

}  // namespace

KeyBuffer& key_buffer() {
  static KeyBuffer buffer;
  return buffer;
}

void key_post(KeyCode code) {
  KeyBuffer& b = key_buffer();
  const int32_t write = wrap(b.write_index);
  b.slots[static_cast<size_t>(write)] = code;
  const int32_t next = wrap(write + 1);
  // A full ring drops its oldest key so the newest 15 are kept.
  if (next == wrap(b.read_index)) b.read_index = wrap(next + 1);
  b.write_index = next;
}

KeyCode key_take(KeyBuffer& buffer) {
  const int32_t read = wrap(buffer.read_index);
  if (read == wrap(buffer.write_index)) return 0;
  const KeyCode code = buffer.slots[static_cast<size_t>(read)];
  buffer.read_index = wrap(read + 1);
  return code;
}

std::string key_string(KeyCode code) {
  try {
    if (code == 0) return {};
    const auto bits = static_cast<uint32_t>(code);
    if (code > 255) {
      return std::string{static_cast<char>(bits & 0xFFu), static_cast<char>((bits >> 8) & 0xFFu)};
    }
    return std::string(1, static_cast<char>(bits & 0xFFu));
  } catch (const std::bad_alloc&) {
    return {};
  }
}

}  // namespace runtime
