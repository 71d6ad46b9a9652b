// The numbered-file service: which numbers are free, which opens are refused,
// and which file a thread's input statement reads.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <thread>

#include "runtime/files/file_table.h"

namespace {

using namespace runtime;

class FileTable : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_NE(::mkdtemp(dir_.data()), nullptr); }
  void TearDown() override {
    for (int32_t n = FILE_NUMBER_FIRST; n <= FILE_NUMBER_LAST; ++n) text_file_close(n);
    std::filesystem::remove_all(dir_);
  }
  std::string write(const std::string& name, const std::string& bytes) {
    std::ofstream(dir_ + "/" + name, std::ios::binary) << bytes;
    return dir_ + "/" + name;
  }
  // The next item through the binding; a new input statement first for number > 0.
  static int32_t read(int32_t number = 0) {
    if (number > 0) text_file_begin_input(number);
    int32_t value = -999;
    text_file_read_int(value);
    return value;
  }
  std::string dir_ = "/tmp/tilewalk-files-XXXXXX";
};

TEST_F(FileTable, OpensOnlyRegularFilesUnderFreeNumbersFromOneTo255) {
  ::mkfifo((dir_ + "/pipe").c_str(), 0600);
  std::string deep = dir_;
  while (deep.size() < 5000) deep += "/.";
  for (const std::string& path :
       {dir_ + "/missing", dir_, dir_ + "/pipe", std::string("/dev/zero"), std::string(),
        write("real", "5") + std::string("\0x", 2), deep + "/real", dir_ + "/real/in"}) {
    EXPECT_EQ(text_file_open(path, 1), RESULT_FILE_NOT_FOUND) << path.substr(0, 60);
  }
  for (int32_t n : {0, 256, -1}) {
    EXPECT_EQ(text_file_open(dir_ + "/real", n) + text_file_begin_input(n) + text_file_close(n),
              3 * RESULT_ILLEGAL_CALL);
  }
  for (int32_t n = text_file_free_number(); n != 0; n = text_file_free_number()) {
    ASSERT_EQ(text_file_open(write(std::to_string(n), std::to_string(n)), n), RESULT_OK);
  }
  EXPECT_EQ(text_file_open(write("other", "0"), 7), RESULT_ILLEGAL_CALL);  // 7 stays as it was
  EXPECT_EQ(read(7), 7);
  EXPECT_EQ(read(FILE_NUMBER_LAST), 255);  // the last number is handed out too
  EXPECT_EQ(text_file_close(7), RESULT_OK);
  EXPECT_EQ(text_file_close(7), RESULT_ILLEGAL_CALL);
  EXPECT_EQ(text_file_free_number(), 7);
}

TEST_F(FileTable, AStatementReadsTheFileItBoundOnItsThreadWithItsHeldBackBytes) {
  ASSERT_EQ(text_file_open(write("one", "7\r8\r9"), 1), RESULT_OK);
  ASSERT_EQ(text_file_open(write("two", "100\r200"), 2), RESULT_OK);
  EXPECT_EQ(read(1), 7);
  EXPECT_EQ(read(2), 100);
  EXPECT_EQ(text_file_begin_input(9), RESULT_ILLEGAL_CALL);
  EXPECT_EQ(read(), 200);  // a refused statement keeps the binding
  EXPECT_EQ(read(1), 8);
  int32_t other = -999;
  std::thread([&] { text_file_read_int(other); }).join();
  EXPECT_EQ(other, 0);
  ASSERT_EQ(text_file_close(1), RESULT_OK);
  EXPECT_EQ(read(), 0);
  ASSERT_EQ(text_file_open(dir_ + "/one", 1), RESULT_OK);
  EXPECT_EQ(read(), 0);  // the same number, another file: the old binding reads nothing
  EXPECT_EQ(read(1), 7);
}

}  // namespace
