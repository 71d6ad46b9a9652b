#include "runtime/files/item_reader.h"

#include "runtime/files/int_conversion.h"

namespace runtime {
namespace {

bool is_blank(int c) { return c == ' ' || c == '\t'; }

// After a CR: a following LF belongs to the same line end, anything else is
// the start of what comes next.
void finish_cr(ByteStream& stream) {
  const int after = stream_get(stream);
  if (after != '\n') {
    stream_put_back(stream, after);
  }
}

// An item that ended at a blank swallows the blanks after it and at most one
// comma or line end, so "7 , 8" and "7   \n8" hold two items, not three.
void finish_blank_run(ByteStream& stream) {
  int c = stream_get(stream);
  while (is_blank(c)) {
    c = stream_get(stream);
  }
  if (c == ',' || c == '\n' || c == STREAM_END) {
    return;
  }
  if (c == '\r') {
    finish_cr(stream);
    return;
  }
  stream_put_back(stream, c);
}

// The character read after the 67th collected one ends the item the way it
// would end any item; anything that cannot end an item starts the next one.
void finish_full_item(ByteStream& stream) {
  const int c = stream_get(stream);
  if (c == STREAM_END || c == '\n' || c == ',') {
    return;
  }
  if (c == '\r') {
    finish_cr(stream);
  } else if (is_blank(c)) {
    finish_blank_run(stream);
  } else {
    stream_put_back(stream, c);
  }
}

}  // namespace

void item_collect(ByteStream& stream, ItemText& item) {
  item.length = 0;
  item.floating = false;

  int c = stream_get(stream);
  while (is_blank(c)) {
    c = stream_get(stream);
  }
  item.first = c;
  item.start = stream_offset(stream) - (c == STREAM_END ? 0 : 1);

  bool first = true;
  bool quoted = false;
  bool radix = false;
  for (;; c = stream_get(stream), first = false) {
    if (c == STREAM_END || c == '\n') {
      break;
    }
    if (c == '\r') {
      finish_cr(stream);
      break;
    }
    if (c == '"') {
      if (first) {
        quoted = true;
        continue;
      }
      if (quoted) {
        quoted = false;
        continue;
      }
    } else if (!quoted) {
      if (c == ',') {
        break;
      }
      if (is_blank(c)) {
        finish_blank_run(stream);
        break;
      }
    }

    if (c == '&') {
      radix = true;
    } else if (c == '.' || c == 'E' || c == 'e' || ((c == 'D' || c == 'd') && !radix)) {
      // D is BASIC's double-precision exponent letter; the text keeps it as
      // written, for messages that quote the item.
      item.floating = item.floating || !radix;
    }
    item.text[item.length++] = static_cast<char>(c);
    if (item.length == ITEM_MAX_LENGTH) {
      finish_full_item(stream);
      break;
    }
  }
  item.text[item.length] = 0;
}

int32_t item_read(ByteStream& stream) {
  ItemText item;
  item_collect(stream, item);
  return item_to_int32(item.text, item.length, item.floating);
}

}  // namespace runtime
