// Key translation over every combination of scan code, block, typed and own
// character and modifiers. Beyond not crashing:
//  - a translation is 0, a character 1..255, or an extended code k x 256 + 255
//    with k from 1 to 255, and its KeyString is 0, 1 or 2 bytes accordingly,
//    an extended one starting with byte 255;
//  - what a key-down posts is nothing or that same extended code, never the
//    close request, and never anything for Alt without Ctrl;
//  - an unmodified key of the main block that types a character gives that
//    character;
//  - the translation depends on the press alone.
#include <cstdint>

#include "fuzz/fuzz_check.h"
#include "runtime/input/key_poll.h"
#include "runtime/input/key_translation.h"

using namespace runtime;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 4) return 0;
  KeyPress press;
  press.scan_code = data[0];
  press.typed = data[1];
  press.own = data[2];
  press.dedicated = (data[3] & 1) != 0;
  press.shift = (data[3] & 2) != 0;
  press.ctrl = (data[3] & 4) != 0;
  press.alt = (data[3] & 8) != 0;

  const KeyCode code = key_translate(press);
  FUZZ_CHECK(code == key_translate(press));
  const bool extended = code > 255;
  FUZZ_CHECK(code >= 0 && code <= 0xFFFF);
  if (extended) {
    FUZZ_CHECK((code & 0xFF) == 0xFF);
    FUZZ_CHECK(code >> 8 >= 1);
  }
  const std::string key = key_string(code);
  FUZZ_CHECK(key.size() == (code == 0 ? 0u : extended ? 2u : 1u));
  if (extended) {
    FUZZ_CHECK(static_cast<uint8_t>(key[0]) == 255);
    FUZZ_CHECK(static_cast<uint8_t>(key[1]) == static_cast<uint32_t>(code) >> 8);
  }

  const KeyCode posted = key_down_post_code(press);
  FUZZ_CHECK(posted == 0 || (posted == code && extended));
  FUZZ_CHECK(posted != KEY_CLOSE);
  if (press.alt && !press.ctrl) FUZZ_CHECK(posted == 0);

  if (!press.dedicated && !press.shift && !press.ctrl && !press.alt && press.typed != 0) {
    FUZZ_CHECK(code == press.typed);
  }
  return 0;
}
