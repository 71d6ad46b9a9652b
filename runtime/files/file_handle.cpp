// Files on POSIX systems: Linux and the browser's in-memory file system.
#include "runtime/files/file_handle.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>

namespace runtime {

// Linux opens a directory for reading without complaint, and a FIFO or
// device could block start-up or never end, so only regular files qualify.
int file_handle_open(std::string_view path) {
  // A terminated copy on the stack: opening allocates nothing and cannot throw.
  char terminated[PATH_MAX];
  if (path.empty() || path.size() >= sizeof terminated ||
      path.find('\0') != std::string_view::npos) {
    return -1;  // too long for the platform, or it would read a shorter path
  }
  std::memcpy(terminated, path.data(), path.size());
  terminated[path.size()] = 0;
  int fd = -1;
  do {
    // Non-blocking so that opening a FIFO with no writer returns at once.
    fd = ::open(terminated, O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) {
    return -1;
  }
  struct stat info {};
  const int flags = ::fcntl(fd, F_GETFL);
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || flags == -1 ||
      ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) == -1) {
    ::close(fd);
    return -1;
  }
  return fd;
}

int64_t file_handle_read(int handle, void* buffer, size_t size) {
  for (;;) {
    const ssize_t got = ::read(handle, buffer, size);
    if (got >= 0 || errno != EINTR) return got;
  }
}

// A failing close still releases the descriptor on Linux.
void file_handle_close(int handle) { ::close(handle); }

}  // namespace runtime
