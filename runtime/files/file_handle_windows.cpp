// Files on Windows. Paths are UTF-8 inside the program and UTF-16 to
// Windows, so every name opens, whatever the system's code page. Files are
// read in binary mode: text mode would turn CR LF into LF and stop at the
// first Ctrl+Z, and the item reader must see the same bytes as on Linux.
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

#include <climits>
#include <string>

#include "runtime/files/file_handle.h"

namespace runtime {

int file_handle_open(std::string_view path) {
  if (path.empty() || path.size() > INT_MAX || path.find('\0') != std::string_view::npos) {
    return -1;
  }
  const int bytes = static_cast<int>(path.size());
  const int wide_size =
      MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, path.data(), bytes, nullptr, 0);
  if (wide_size <= 0) return -1;  // not UTF-8
  std::wstring wide(static_cast<size_t>(wide_size), L'\0');
  MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, path.data(), bytes, wide.data(), wide_size);
  const int fd = _wopen(wide.c_str(), _O_RDONLY | _O_BINARY | _O_NOINHERIT);
  if (fd < 0) return -1;
  struct _stat64 info {};
  if (_fstat64(fd, &info) != 0 || (info.st_mode & _S_IFMT) != _S_IFREG) {
    _close(fd);
    return -1;
  }
  return fd;
}

int64_t file_handle_read(int handle, void* buffer, size_t size) {
  const unsigned int chunk = size > INT_MAX ? INT_MAX : static_cast<unsigned int>(size);
  return _read(handle, buffer, chunk);
}

void file_handle_close(int handle) { _close(handle); }

}  // namespace runtime
