// Reading a file through the operating system: the bytes as they are on disk
// (no line-end or end-of-file translation, which a Windows text mode would
// make), any UTF-8 name, and only regular files.
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <random>

#include "runtime/files/file_handle.h"

namespace {

using namespace runtime;
namespace fs = std::filesystem;

std::string utf8(const fs::path& path) {
  const std::u8string name = path.u8string();
  return {name.begin(), name.end()};
}

TEST(FileHandle, ReadsTheBytesOfARegularFileUnderAnyUtf8Name) {
  const fs::path dir =
      fs::temp_directory_path() / ("tilewalk-handle-" + std::to_string(std::random_device{}()));
  fs::create_directories(dir);
  const fs::path file = dir / u8"Stra\u00dfe \u20ac.mem";
  const std::string bytes(
      "1\r\n2\x1a"
      "3\r\r\n\0 4\n",
      12);
  std::ofstream(file, std::ios::binary) << bytes;
  const int handle = file_handle_open(utf8(file));
  ASSERT_GE(handle, 0);
  std::string read;
  char block[5];
  for (int64_t got = 0; (got = file_handle_read(handle, block, sizeof block)) > 0;) {
    read.append(block, static_cast<size_t>(got));
  }
  errno = EINTR;  // left from an earlier call: the end of the file still reads as the end
  EXPECT_EQ(file_handle_read(handle, block, sizeof block), 0);
  file_handle_close(handle);
  EXPECT_EQ(read, bytes);
  for (const std::string& refused : {utf8(dir), utf8(dir / "missing"), std::string()}) {
    EXPECT_EQ(file_handle_open(refused), -1) << refused;
  }
  fs::remove_all(dir);
}

}  // namespace
