// One tick's conversion of a whole dirty page through the palette into the
// window's ARGB picture, against a plain 256-entry lookup loop over the same
// 64,000 bytes.
#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "bench/bench_report.h"
#include "runtime/screen/paged_screen.h"
#include "runtime/screen/screen_lock.h"
#include "runtime/screen/screen_open.h"
#include "runtime/window/headless_back_end.h"

namespace {

constexpr int32_t WIDTH = 320;
constexpr int32_t HEIGHT = 200;

void BM_present_full_page(benchmark::State& s) {
  runtime::headless_install();
  if (runtime::screen_open(WIDTH, HEIGHT, 4, 8, 0, 0) != runtime::RESULT_OK) {
    s.SkipWithError("no screen");
    return;
  }
  runtime::PagedScreen& screen = *runtime::screen_current();
  uint8_t* page = runtime::screen_page(screen, screen.visible_page);
  for (size_t i = 0; i < size_t{WIDTH} * HEIGHT; ++i) page[i] = static_cast<uint8_t>(i * 7 % 16);
  std::array<uint32_t, 256> colours{};
  for (size_t i = 0; i < colours.size(); ++i) {
    const uint32_t rgb = i < runtime::DEFAULT_PALETTE.size() ? runtime::DEFAULT_PALETTE[i] : 0;
    colours[i] = 0xFF000000u | rgb;
  }
  std::vector<uint32_t> pixels(size_t{WIDTH} * HEIGHT);
  for (auto _ : s) {
    // The window side's tick holds the lock the same way around its
    // conversion; the game thread takes it here in the tick's place.
    runtime::screen_lock();
    runtime::screen_mark_all_rows();
    const runtime::PresentedRows rows =
        runtime::present_dirty_rows(colours.data(), pixels.data(), WIDTH);
    runtime::screen_unlock();
    benchmark::DoNotOptimize(rows);
    benchmark::ClobberMemory();
  }
  runtime::screen_release();
}
BENCHMARK(BM_present_full_page)->Repetitions(5)->UseRealTime()->Unit(benchmark::kMicrosecond);

void BM_present_lookup_floor(benchmark::State& s) {
  std::vector<uint8_t> page(size_t{WIDTH} * HEIGHT);
  for (size_t i = 0; i < page.size(); ++i) page[i] = static_cast<uint8_t>(i * 7 % 16);
  std::array<uint32_t, 256> colours{};
  for (size_t i = 0; i < colours.size(); ++i) colours[i] = 0xFF000000u | static_cast<uint32_t>(i);
  std::vector<uint32_t> pixels(page.size());
  for (auto _ : s) {
    const uint8_t* src = page.data();
    uint32_t* dst = pixels.data();
    for (size_t i = 0; i < page.size(); ++i) dst[i] = colours[src[i]];
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_present_lookup_floor)->Repetitions(5)->UseRealTime()->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  std::vector<bench::Figure> figures = {
      {"present_full_page", "BM_present_full_page", "", "BM_present_lookup_floor", "", 1e6,
       "us/tick", "conversion < 50 us", [](double value, double) { return value < 50.0; }},
  };
  return bench::run_and_report(argc, argv, figures);
}
