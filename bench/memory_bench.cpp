// Peak resident set after 1,000 and after 1,000,000 frames of the real loop:
// equal when a frame allocates nothing that it keeps.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "bench/bench_report.h"
#include "game/frame_loop.h"
#include "runtime/screen/paged_screen.h"
#include "runtime/screen/screen_open.h"
#include "runtime/window/headless_back_end.h"

namespace {

void BM_memory(benchmark::State& s) {
  static game::GameState state;
  for (auto _ : s) {
    bench::enter_project_root();
    runtime::headless_install();
    if (!game::start_up(state, game::PROGRAM_SETTINGS)) {
      s.SkipWithError("the game did not start");
      return;
    }
    game::enter_play(state);
    for (int64_t frame = 0; frame < 1000; ++frame) game::frame_step(state);
    // A thousand frames take a few milliseconds, less than one tick: let the
    // window thread run its first ticks (its first allocation makes its own
    // malloc arena) so the first reading is of a running program.
    runtime::headless_wait_ticks(3);
    const long after_thousand = bench::peak_resident_kib();
    for (int64_t frame = 1000; frame < 1000000; ++frame) game::frame_step(state);
    const long after_million = bench::peak_resident_kib();
    s.counters["hwm_1k_frames_kib"] = static_cast<double>(after_thousand);
    s.counters["hwm_1m_frames_kib"] = static_cast<double>(after_million);
    runtime::screen_release();
  }
}
BENCHMARK(BM_memory)->Iterations(1)->UseRealTime()->Unit(benchmark::kSecond);

}  // namespace

int main(int argc, char** argv) {
  std::vector<bench::Figure> figures = {
      {"memory_peak_rss", "BM_memory", "hwm_1m_frames_kib", "BM_memory", "hwm_1k_frames_kib", 1.0,
       "KiB", "1M frames == 1k frames", [](double, double ratio) { return ratio == 1.0; }},
  };
  return bench::run_and_report(argc, argv, figures);
}
