// The KeyBuffer: a 16-slot ring of KeyCodes that lives for the whole process,
// and the forms a key takes. The window side stores keys with key_post; the
// game takes them with key_poll. Both run with the screen lock held.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace runtime {

// 0 none, 1..255 a typed character (code page 437), code x 256 + 255 an
// extended key.
using KeyCode = int32_t;

constexpr KeyCode KEY_CLOSE = 0x6BFF;

struct KeyBuffer {
  std::array<KeyCode, 16> slots{};
  int32_t read_index = 0;
  int32_t write_index = 0;
};

KeyBuffer& key_buffer();

// Window side, screen lock held. A full ring drops its oldest key.
void key_post(KeyCode code);

// Removes and returns the oldest key of `buffer`, 0 when it is empty. Caller
// holds the screen lock when `buffer` is the process's KeyBuffer.
KeyCode key_take(KeyBuffer& buffer);

// The KeyString form of a code: "" for 0, one byte for 1..255, else the two
// bytes code mod 256 and (code / 256) mod 256. "" when it cannot be allocated.
std::string key_string(KeyCode code);

}  // namespace runtime
