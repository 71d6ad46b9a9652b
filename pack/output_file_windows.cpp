// Output files on Windows: the temporary file is made with an exclusive
// create under a name of the process id and a counter, and MoveFileEx
// replaces the target in one step (rename refuses an existing target there).
// Paths are UTF-8, the programs' code page by their manifest.
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "pack/output_file.h"

namespace pack {
namespace {

std::wstring wide(const std::string& path) {
  const int size = MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, nullptr, 0);
  std::wstring text(static_cast<size_t>(size > 0 ? size : 1), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, text.data(), size);
  text.resize(text.size() - 1);
  return text;
}

bool write_all(int fd, const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const size_t left = bytes.size() - done;
    const unsigned int chunk = left > 1U << 30 ? 1U << 30 : static_cast<unsigned int>(left);
    const int wrote = _write(fd, bytes.data() + done, chunk);
    if (wrote <= 0) return false;
    done += static_cast<size_t>(wrote);
  }
  return true;
}

}  // namespace

bool output_file_write(const std::string& path, const std::string& bytes, std::string& error) {
  std::wstring temporary;
  int fd = -1;
  for (unsigned attempt = 0; fd < 0 && attempt < 100; ++attempt) {
    temporary = wide(path + "." + std::to_string(GetCurrentProcessId()) + "-" +
                     std::to_string(attempt) + ".tmp");
    fd = _wopen(temporary.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT,
                _S_IREAD | _S_IWRITE);
    if (fd < 0 && errno != EEXIST) break;
  }
  if (fd < 0) {
    error = path + ": cannot write: " + std::strerror(errno);
    return false;
  }
  bool ok = write_all(fd, bytes);
  const int saved = errno;
  ok = _close(fd) == 0 && ok;
  if (ok && MoveFileExW(temporary.c_str(), wide(path).c_str(), MOVEFILE_REPLACE_EXISTING) != 0) {
    return true;
  }
  error = path + ": cannot write: " + (ok ? "the file cannot be replaced" : std::strerror(saved));
  _wunlink(temporary.c_str());
  return false;
}

}  // namespace pack
