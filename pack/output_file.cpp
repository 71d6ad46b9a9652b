#include "pack/output_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace pack {
namespace {

bool write_all(int fd, const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t wrote = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (wrote < 0 && errno == EINTR) continue;
    if (wrote <= 0) return false;
    done += static_cast<size_t>(wrote);
  }
  return true;
}

}  // namespace

bool output_file_write(const std::string& path, const std::string& bytes, std::string& error) {
  std::string pattern = path + ".XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back(0);
  const int fd = ::mkstemp(name.data());
  if (fd < 0) {
    error = path + ": cannot write: " + std::strerror(errno);
    return false;
  }
  // mkstemp makes the file private; an output is an ordinary file like any
  // other the user writes, so it takes the usual mode under the umask.
  const mode_t mask = ::umask(0);
  ::umask(mask);
  bool ok = ::fchmod(fd, 0666 & ~mask) == 0 && write_all(fd, bytes);
  const int saved = errno;
  ok = ::close(fd) == 0 && ok;
  if (ok && std::rename(name.data(), path.c_str()) == 0) return true;
  error = path + ": cannot write: " + std::strerror(ok ? errno : saved);
  ::unlink(name.data());
  return false;
}

}  // namespace pack
