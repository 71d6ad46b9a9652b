// Items per second of the text-file service reading a generated 1 MB .mem
// file, against strtol over the same text already in memory.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/bench_report.h"
#include "runtime/files/file_table.h"

namespace {

constexpr size_t TARGET_BYTES = 1 << 20;

struct MemFile {
  std::string path;
  std::string text;
  int64_t items = 0;
  int64_t sum = 0;  // of every item, to check both readers saw the same values
};

// Rows of 64 comma-separated palette indices, as the picture files hold.
const MemFile& mem_file() {
  static const MemFile file = [] {
    MemFile f;
    uint32_t seed = 12345;
    while (f.text.size() < TARGET_BYTES) {
      for (int x = 0; x < 64; ++x) {
        seed = seed * 1664525u + 1013904223u;
        const uint32_t value = (seed >> 24) % 256;
        if (x > 0) f.text += ',';
        f.text += std::to_string(value);
        f.sum += value;
        ++f.items;
      }
      f.text += '\n';
    }
    char path[] = "/tmp/tilewalk-bench-XXXXXX.mem";
    const int fd = mkstemps(path, 4);
    if (fd >= 0) {
      const ssize_t written = write(fd, f.text.data(), f.text.size());
      close(fd);
      if (written == static_cast<ssize_t>(f.text.size())) f.path = path;
    }
    return f;
  }();
  return file;
}

void BM_item_reader(benchmark::State& s) {
  const MemFile& file = mem_file();
  if (file.path.empty()) {
    s.SkipWithError("cannot write the .mem file");
    return;
  }
  for (auto _ : s) {
    if (runtime::text_file_open(file.path, 1) != runtime::RESULT_OK) {
      s.SkipWithError("cannot open the .mem file");
      return;
    }
    runtime::text_file_begin_input(1);
    int64_t sum = 0;
    for (int64_t i = 0; i < file.items; ++i) {
      int32_t value = 0;
      runtime::text_file_read_int(value);
      sum += value;
    }
    runtime::text_file_close(1);
    if (sum != file.sum) {
      s.SkipWithError("the reader saw other values than were written");
      return;
    }
  }
  s.SetItemsProcessed(s.iterations() * file.items);
}
BENCHMARK(BM_item_reader)->Repetitions(5)->UseRealTime()->Unit(benchmark::kMillisecond);

void BM_item_reader_strtol(benchmark::State& s) {
  const MemFile& file = mem_file();
  for (auto _ : s) {
    const char* at = file.text.c_str();
    int64_t sum = 0;
    for (int64_t i = 0; i < file.items; ++i) {
      char* end = nullptr;
      sum += std::strtol(at, &end, 10);
      at = *end ? end + 1 : end;  // past the comma or line end
    }
    if (sum != file.sum) {
      s.SkipWithError("strtol saw other values than were written");
      return;
    }
  }
  s.SetItemsProcessed(s.iterations() * file.items);
}
BENCHMARK(BM_item_reader_strtol)->Repetitions(5)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  std::vector<bench::Figure> figures = {
      {"item_reader", "BM_item_reader", "items_per_second", "BM_item_reader_strtol",
       "items_per_second", 1e-6, "M items/s", "ratio >= 0.5",
       [](double, double ratio) { return ratio >= 0.5; }},
  };
  const int result = bench::run_and_report(argc, argv, figures);
  if (!mem_file().path.empty()) std::remove(mem_file().path.c_str());
  return result;
}
