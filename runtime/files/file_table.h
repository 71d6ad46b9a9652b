// The text-file service: the process-wide FileTable of numbered input files,
// each read through an 8192-byte buffered stream with a put-back store, and
// the per-thread InputBinding that says which file the current input
// statement reads.
//
// Game thread only: the FileTable has no lock, because only the game's thread
// reads files. The InputBinding is thread_local, one per calling thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "runtime/files/item_reader.h"
#include "runtime/screen/results.h"

namespace runtime {

constexpr int32_t FILE_NUMBER_FIRST = 1;
constexpr int32_t FILE_NUMBER_LAST = 255;
constexpr size_t FILE_BLOCK_SIZE = 8192;

struct FileRecord {
  bool open = false;
  int descriptor = -1;
  bool ended = false;  // end of file or a read error was seen; no more reads
  // Unique among all opens of the process, so a binding made to an earlier
  // file under the same number never reads a later one.
  uint64_t generation = 0;
  ByteStream stream;  // put-back store included
  uint8_t block[FILE_BLOCK_SIZE];
};

struct FileTable {
  FileRecord records[FILE_NUMBER_LAST];  // file number n is records[n - 1]
  uint64_t last_generation = 0;
};

FileTable& file_table();

struct InputBinding {
  FileRecord* record = nullptr;  // none until the first successful begin_input
  uint64_t generation = 0;
};

// The calling thread's binding.
InputBinding& input_binding();

// Lowest free number from 1 to 255; 0 when all are open.
int32_t text_file_free_number();

// RESULT_OK; RESULT_ILLEGAL_CALL for a number outside 1..255 or already open
// (record unchanged); RESULT_FILE_NOT_FOUND when the path is not a regular
// file this process can read (missing, a directory, a FIFO, no permission, a
// path with a 0 byte or longer than the platform allows), and the record is
// then free.
int32_t text_file_open(std::string_view path, int32_t file_number);

// Binds the calling thread's InputBinding to the open file `file_number`.
// RESULT_ILLEGAL_CALL (binding unchanged) if the number is not an open file.
int32_t text_file_begin_input(int32_t file_number);

// Reads the next item through the binding into `value`; 0 for an empty item
// and at end of input (also when the binding names no open file). Always
// RESULT_OK, and `value` is always written.
int32_t text_file_read_int(int32_t& value);

// The same read for tools that report on a file: the next item's collected
// text and where it begins, not yet converted (item_to_int32 gives the value
// text_file_read_int would). Past the end, or with no open file bound, an
// empty item whose first byte is STREAM_END. Always RESULT_OK.
int32_t text_file_read_item(ItemText& item);

// Closes the file and frees its number, dropping any put-back bytes.
// RESULT_ILLEGAL_CALL if the number is not an open file.
int32_t text_file_close(int32_t file_number);

}  // namespace runtime
