#include "runtime/files/file_table.h"

#include "runtime/files/file_handle.h"

namespace runtime {
namespace {

FileTable table;
thread_local InputBinding binding;

FileRecord* record_of(int32_t file_number) {
  if (file_number < FILE_NUMBER_FIRST || file_number > FILE_NUMBER_LAST) {
    return nullptr;
  }
  return &table.records[file_number - FILE_NUMBER_FIRST];
}

// Everything a closed record's reader could see; the block (dead once next ==
// end), the descriptor and the generation count only while it is open.
void record_clear(FileRecord& record) {
  record.open = false;
  record.ended = false;
  record.stream = ByteStream{};
}

bool record_refill(ByteStream& stream) {
  FileRecord& record = *static_cast<FileRecord*>(stream.context);
  while (!record.ended) {
    const int64_t got = file_handle_read(record.descriptor, record.block, FILE_BLOCK_SIZE);
    if (got > 0) {
      stream.next = record.block;
      stream.end = record.block + got;
      stream.loaded += static_cast<uint64_t>(got);
      return true;
    }
    record.ended = true;
  }
  return false;
}

bool binding_is_live(const InputBinding& b) {
  return b.record != nullptr && b.record->open && b.record->generation == b.generation;
}

}  // namespace

FileTable& file_table() { return table; }

InputBinding& input_binding() { return binding; }

int32_t text_file_free_number() {
  for (int32_t n = FILE_NUMBER_FIRST; n <= FILE_NUMBER_LAST; ++n) {
    if (!record_of(n)->open) {
      return n;
    }
  }
  return 0;
}

int32_t text_file_open(std::string_view path, int32_t file_number) {
  FileRecord* record = record_of(file_number);
  if (record == nullptr || record->open) {
    return RESULT_ILLEGAL_CALL;
  }
  record_clear(*record);
  const int fd = file_handle_open(path);
  if (fd < 0) {
    return RESULT_FILE_NOT_FOUND;
  }
  record->open = true;
  record->descriptor = fd;
  record->generation = ++table.last_generation;
  record->stream.next = record->block;
  record->stream.end = record->block;
  record->stream.refill = record_refill;
  record->stream.context = record;
  return RESULT_OK;
}

int32_t text_file_begin_input(int32_t file_number) {
  FileRecord* record = record_of(file_number);
  if (record == nullptr || !record->open) {
    return RESULT_ILLEGAL_CALL;
  }
  binding.record = record;
  binding.generation = record->generation;
  return RESULT_OK;
}

int32_t text_file_read_int(int32_t& value) {
  value = binding_is_live(binding) ? item_read(binding.record->stream) : 0;
  return RESULT_OK;
}

int32_t text_file_read_item(ItemText& item) {
  if (binding_is_live(binding)) {
    item_collect(binding.record->stream, item);
  } else {
    item = ItemText{};
  }
  return RESULT_OK;
}

int32_t text_file_close(int32_t file_number) {
  FileRecord* record = record_of(file_number);
  if (record == nullptr || !record->open) {
    return RESULT_ILLEGAL_CALL;
  }
  file_handle_close(record->descriptor);
  record_clear(*record);
  return RESULT_OK;
}

}  // namespace runtime
