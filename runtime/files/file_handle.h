// Reading a file from the operating system, the one part of the text-file
// service that differs between platforms: file_handle.cpp on POSIX systems
// (Linux, the browser's file system), file_handle_windows.cpp on Windows. A
// handle is a small non-negative number, -1 for none. Any thread; a handle
// is used by one thread at a time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace runtime {

// A handle for reading the regular file at `path` (UTF-8), or -1: anything
// else (a folder, a pipe, a device) reads as not found, since it could block
// start-up or never end.
int file_handle_open(std::string_view path);

// Reads up to `size` bytes into `buffer`: the count read, 0 at the end, -1
// on an error.
int64_t file_handle_read(int handle, void* buffer, size_t size);

// There is nothing to retry after a failing close, and nothing a caller could do.
void file_handle_close(int handle);

}  // namespace runtime
