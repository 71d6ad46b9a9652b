// The numbered-file service: which numbers are free, which opens are refused
// and how, closing, and what the per-thread input binding reads.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <string>
#include <thread>
#include <vector>

#include "runtime/files/file_table.h"
#include "temp_files.h"

namespace {

using namespace runtime;

int32_t read_from(int32_t number) {
  EXPECT_EQ(text_file_begin_input(number), RESULT_OK);
  int32_t value = -999;
  EXPECT_EQ(text_file_read_int(value), RESULT_OK);
  return value;
}

// Reads through whatever the binding names now, without a new statement.
int32_t read_unbound() {
  int32_t value = -999;
  EXPECT_EQ(text_file_read_int(value), RESULT_OK);
  return value;
}

class FileTableTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.ok());
    ASSERT_EQ(text_file_free_number(), 1) << "an earlier test left a file open";
  }
  void TearDown() override {
    for (int32_t n = FILE_NUMBER_FIRST; n <= FILE_NUMBER_LAST; ++n) text_file_close(n);
  }
  files_test::TempDir dir;
};

TEST_F(FileTableTest, FreeNumberIsTheLowestFreeOne) {
  const std::string path = dir.write("a.mem", "1");
  for (int32_t n = 1; n <= 3; ++n) ASSERT_EQ(text_file_open(path, n), RESULT_OK);
  EXPECT_EQ(text_file_free_number(), 4);
  ASSERT_EQ(text_file_close(2), RESULT_OK);
  EXPECT_EQ(text_file_free_number(), 2);
  for (int32_t n = text_file_free_number(); n != 0; n = text_file_free_number()) {
    ASSERT_EQ(text_file_open(path, n), RESULT_OK) << n;
  }
  EXPECT_EQ(text_file_close(255), RESULT_OK);
  EXPECT_EQ(text_file_free_number(), 255);
  ASSERT_EQ(text_file_open(path, 255), RESULT_OK);
  EXPECT_EQ(text_file_free_number(), 0) << "all 255 numbers are open";
}

TEST_F(FileTableTest, NumbersOutsideTheTableAreIllegal) {
  const std::string path = dir.write("a.mem", "1");
  for (int32_t n : {0, 256, -1, INT32_MIN, INT32_MAX}) {
    EXPECT_EQ(text_file_open(path, n), RESULT_ILLEGAL_CALL) << n;
    EXPECT_EQ(text_file_begin_input(n), RESULT_ILLEGAL_CALL) << n;
    EXPECT_EQ(text_file_close(n), RESULT_ILLEGAL_CALL) << n;
  }
  EXPECT_EQ(text_file_open(path, 1), RESULT_OK);
  EXPECT_EQ(text_file_open(path, 255), RESULT_OK);
}

TEST_F(FileTableTest, OpeningAnOpenNumberLeavesItsFileAlone) {
  const std::string first = dir.write("first.mem", "11,12,13");
  const std::string second = dir.write("second.mem", "21,22,23");
  ASSERT_EQ(text_file_open(first, 5), RESULT_OK);
  EXPECT_EQ(read_from(5), 11);
  EXPECT_EQ(text_file_open(second, 5), RESULT_ILLEGAL_CALL);
  EXPECT_EQ(text_file_open(dir.path("missing.mem"), 5), RESULT_ILLEGAL_CALL);
  EXPECT_EQ(read_from(5), 12) << "the refused open must not reset or replace the stream";
}

struct Unopenable {
  const char* name;
  std::string (*make)(const files_test::TempDir& dir);
};

const Unopenable UNOPENABLE[] = {
    {"missing", [](const files_test::TempDir& d) { return d.path("nope.mem"); }},
    {"directory", [](const files_test::TempDir& d) { return d.path(""); }},
    {"directory_named_like_a_file",
     [](const files_test::TempDir& d) {
       ::mkdir(d.path("sub.mem").c_str(), 0700);
       return d.path("sub.mem");
     }},
    {"fifo_without_writer",
     [](const files_test::TempDir& d) {
       ::mkfifo(d.path("pipe.mem").c_str(), 0600);
       return d.path("pipe.mem");
     }},
    {"character_device", [](const files_test::TempDir&) { return std::string("/dev/zero"); }},
    {"empty_path", [](const files_test::TempDir&) { return std::string(); }},
    {"zero_byte_in_path",
     [](const files_test::TempDir& d) {
       // Cut at the 0 byte, this path names a file that exists.
       d.write("real.mem", "5");
       return d.path("real.mem") + std::string("\0.txt", 5);
     }},
    {"path_longer_than_the_platform_allows",
     [](const files_test::TempDir& d) {
       // Every component exists ("." repeated), so only the length is wrong.
       std::string path = d.path("");
       while (path.size() < 5000) path += "./";
       return path + d.write("deep.mem", "5").substr(d.path("").size());
     }},
    {"path_through_a_file",
     [](const files_test::TempDir& d) { return d.write("plain.mem", "5") + "/inner.mem"; }},
};

TEST_F(FileTableTest, WhatCannotBeReadIsNotFoundAndStaysFree) {
  for (const Unopenable& u : UNOPENABLE) {
    SCOPED_TRACE(u.name);
    const std::string path = u.make(dir);
    EXPECT_EQ(text_file_open(path, 1), RESULT_FILE_NOT_FOUND);
    EXPECT_EQ(text_file_free_number(), 1);
    EXPECT_EQ(text_file_begin_input(1), RESULT_ILLEGAL_CALL);
    EXPECT_EQ(text_file_close(1), RESULT_ILLEGAL_CALL);
  }
}

TEST_F(FileTableTest, UnreadableFileIsNotFound) {
  if (::geteuid() == 0) {
    GTEST_SKIP() << "root reads a file whatever its mode bits say";
  }
  const std::string path = dir.write("secret.mem", "5");
  ::chmod(path.c_str(), 0);
  EXPECT_EQ(text_file_open(path, 1), RESULT_FILE_NOT_FOUND);
  EXPECT_EQ(text_file_free_number(), 1);
}

TEST_F(FileTableTest, CloseFreesTheNumberOnce) {
  const std::string path = dir.write("a.mem", "1");
  ASSERT_EQ(text_file_open(path, 1), RESULT_OK);
  EXPECT_EQ(text_file_close(1), RESULT_OK);
  EXPECT_EQ(text_file_close(1), RESULT_ILLEGAL_CALL);
  EXPECT_EQ(text_file_close(2), RESULT_ILLEGAL_CALL) << "never opened";
  EXPECT_EQ(text_file_free_number(), 1);
  EXPECT_EQ(text_file_open(path, 1), RESULT_OK);
}

TEST_F(FileTableTest, PutBackBelongsToTheFileNotToTheStatement) {
  // After the lone CR the reader holds the 8 back; reading another file in
  // between must neither lose it nor hand it to that file.
  ASSERT_EQ(text_file_open(dir.write("one.mem", "7\r8\r9"), 1), RESULT_OK);
  ASSERT_EQ(text_file_open(dir.write("two.mem", "100\r200"), 2), RESULT_OK);
  EXPECT_EQ(read_from(1), 7);
  EXPECT_EQ(read_from(2), 100);
  EXPECT_EQ(read_from(1), 8);
  EXPECT_EQ(read_from(2), 200);
  EXPECT_EQ(read_from(1), 9);
}

TEST_F(FileTableTest, CloseDropsPutBackBytes) {
  const std::string path = dir.write("a.mem", "7\r8");
  ASSERT_EQ(text_file_open(path, 1), RESULT_OK);
  EXPECT_EQ(read_from(1), 7);  // 8 is held back now
  ASSERT_EQ(text_file_close(1), RESULT_OK);
  ASSERT_EQ(text_file_open(path, 1), RESULT_OK);
  EXPECT_EQ(read_from(1), 7) << "a reopened file starts afresh";
  EXPECT_EQ(read_from(1), 8);
  EXPECT_EQ(read_from(1), 0);
}

TEST_F(FileTableTest, RefusedBeginInputKeepsTheBinding) {
  ASSERT_EQ(text_file_open(dir.write("a.mem", "1,2,3"), 1), RESULT_OK);
  EXPECT_EQ(read_from(1), 1);
  EXPECT_EQ(text_file_begin_input(9), RESULT_ILLEGAL_CALL);
  EXPECT_EQ(text_file_begin_input(0), RESULT_ILLEGAL_CALL);
  EXPECT_EQ(read_unbound(), 2);
}

TEST_F(FileTableTest, BindingToAClosedFileReadsZero) {
  ASSERT_EQ(text_file_open(dir.write("a.mem", "5,6"), 1), RESULT_OK);
  EXPECT_EQ(read_from(1), 5);
  ASSERT_EQ(text_file_close(1), RESULT_OK);
  EXPECT_EQ(read_unbound(), 0);
  // The number is reused for another file: the old binding still reads
  // nothing until a new statement binds the new file.
  ASSERT_EQ(text_file_open(dir.write("b.mem", "8,9"), 1), RESULT_OK);
  EXPECT_EQ(read_unbound(), 0);
  EXPECT_EQ(read_from(1), 8);
}

TEST_F(FileTableTest, EachThreadHasItsOwnBinding) {
  ASSERT_EQ(text_file_open(dir.write("a.mem", "5,6,7"), 1), RESULT_OK);
  EXPECT_EQ(read_from(1), 5);
  int32_t other = -999;
  std::thread([&] { text_file_read_int(other); }).join();
  EXPECT_EQ(other, 0) << "a new thread's binding names no file";
  EXPECT_EQ(read_unbound(), 6) << "the other thread read nothing of this file";
}

}  // namespace
