// The process on POSIX systems.
#include "runtime/window/process.h"

#include <unistd.h>

#include <array>
#include <cerrno>
#include <string_view>

namespace runtime {

std::string process_executable_path() {
  // The executable's own file: the name it was started under (argv[0]) may
  // be anything the caller chose.
  std::array<char, 4096> path{};
  const ssize_t length = readlink("/proc/self/exe", path.data(), path.size() - 1);
  if (length > 0) {
    std::string_view file(path.data(), static_cast<size_t>(length));
    // A file replaced while the program runs (a rebuild) keeps its old name.
    constexpr std::string_view REPLACED = " (deleted)";
    if (file.ends_with(REPLACED)) file.remove_suffix(REPLACED.size());
    return std::string(file);
  }
  return program_invocation_name;
}

void process_window_opened() {}

}  // namespace runtime
