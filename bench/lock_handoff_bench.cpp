// How long the window side's tick waits for the screen lock while the game's
// loop runs flat out, and how evenly the ticks come.
//
// The real figure runs the real frame loop against the real tick (headless
// back end). The baseline is a two-thread model of the same traffic, built
// once over a plain std::mutex and once over the screen's own lock, so the
// ratio shows what the hand-over buys without changing shipped code.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

#include "bench/bench_report.h"
#include "game/frame_loop.h"
#include "runtime/screen/paged_screen.h"
#include "runtime/screen/screen_lock.h"
#include "runtime/screen/screen_open.h"
#include "runtime/window/headless_back_end.h"
#include "runtime/window/window.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto RUN_FOR = std::chrono::seconds(5);
constexpr size_t MAX_TICKS = 4096;

struct TickSample {
  Clock::time_point asked;
  Clock::time_point granted;
};

std::array<TickSample, MAX_TICKS> samples;
std::atomic<size_t> sample_count{0};

void record_tick(Clock::time_point asked, Clock::time_point granted) {
  const size_t at = sample_count.load(std::memory_order_relaxed);
  if (at >= MAX_TICKS) return;
  samples[at] = {asked, granted};
  sample_count.store(at + 1, std::memory_order_release);
}

double percentile(std::vector<double> values, double fraction) {
  if (values.empty()) return 0.0;
  std::sort(values.begin(), values.end());
  const auto at = static_cast<size_t>(fraction * static_cast<double>(values.size() - 1) + 0.5);
  return values[std::min(at, values.size() - 1)];
}

// Puts the figures of the samples taken so far into the benchmark's counters.
void report_samples(benchmark::State& s, int64_t frames, double seconds) {
  const size_t count = sample_count.load(std::memory_order_acquire);
  std::vector<double> waits, intervals;
  for (size_t i = 0; i < count; ++i) {
    waits.push_back(
        std::chrono::duration<double, std::micro>(samples[i].granted - samples[i].asked).count());
    if (i > 0) {
      intervals.push_back(
          std::chrono::duration<double, std::milli>(samples[i].asked - samples[i - 1].asked)
              .count());
    }
  }
  s.counters["ticks"] = static_cast<double>(count);
  s.counters["frames_per_s"] = static_cast<double>(frames) / seconds;
  s.counters["wait_p50_us"] = percentile(waits, 0.5);
  s.counters["wait_p99_us"] = percentile(waits, 0.99);
  s.counters["wait_max_us"] = percentile(waits, 1.0);
  s.counters["interval_p50_ms"] = percentile(intervals, 0.5);
  s.counters["interval_p99_ms"] = percentile(intervals, 0.99);
}

void BM_lock_handoff(benchmark::State& s) {
  static game::GameState state;
  for (auto _ : s) {
    bench::enter_project_root();
    runtime::headless_install();
    runtime::window_set_tick_observer(record_tick);
    if (!game::start_up(state, game::PROGRAM_SETTINGS)) {
      s.SkipWithError("the game did not start");
      return;
    }
    game::enter_play(state);
    sample_count = 0;
    int64_t frames = 0;
    const auto start = Clock::now();
    while (Clock::now() - start < RUN_FOR) {
      for (int i = 0; i < 64; ++i) game::frame_step(state);
      frames += 64;
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    runtime::screen_release();
    runtime::window_set_tick_observer(nullptr);
    report_samples(s, frames, seconds);
  }
}
BENCHMARK(BM_lock_handoff)->Iterations(1)->UseRealTime()->Unit(benchmark::kSecond);

// The model: the game side takes the lock about as often per frame as the real
// loop, around the same kinds of work; the tick converts a page every 10 ms.
struct MutexLock {
  std::mutex mutex;
  void lock() { mutex.lock(); }
  void unlock() { mutex.unlock(); }
};

struct ScreenLock {
  void lock() { runtime::screen_lock_acquire_raw(); }
  void unlock() { runtime::screen_lock_release_raw(); }
};

template <typename Lock>
void BM_lock_model(benchmark::State& s) {
  constexpr size_t PAGE = 320 * 200;
  for (auto _ : s) {
    Lock lock;
    std::vector<uint8_t> map(PAGE, 1), work(PAGE), shown(PAGE);
    std::vector<uint32_t> picture(PAGE);
    std::array<uint32_t, 256> colours{};
    std::atomic<bool> running{true};
    sample_count = 0;

    std::thread tick([&] {
      while (running.load(std::memory_order_acquire)) {
        const auto asked = Clock::now();
        lock.lock();
        const auto granted = Clock::now();
        for (size_t i = 0; i < PAGE; ++i) picture[i] = colours[shown[i]];
        lock.unlock();
        record_tick(asked, granted);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
      }
    });

    int64_t frames = 0;
    uint32_t sink = 0;
    const auto start = Clock::now();
    while (Clock::now() - start < RUN_FOR) {
      std::memcpy(work.data(), map.data(), PAGE);
      for (int cell = 0; cell < 105; ++cell) {  // map reads
        lock.lock();
        sink += work[static_cast<size_t>(cell) * 17];
        lock.unlock();
      }
      lock.lock();  // the clearing box
      std::memset(work.data(), 0, PAGE);
      lock.unlock();
      for (int cell = 0; cell < 106; ++cell) {  // tile puts, the figure
        lock.lock();
        uint8_t* at = work.data() + static_cast<size_t>(cell % 15) * 16 +
                      static_cast<size_t>(cell / 15) * 16 * 320;
        for (int row = 0; row < 16; ++row, at += 320) {
          for (int x = 0; x < 16; ++x) at[x] = static_cast<uint8_t>(at[x] ^ (x + row));
        }
        lock.unlock();
      }
      for (int box = 0; box < 4; ++box) {  // outlines and text
        lock.lock();
        std::memset(work.data() + 320 * 120, 15, 240);
        lock.unlock();
      }
      lock.lock();  // onto the shown page
      std::memcpy(shown.data(), work.data(), PAGE);
      lock.unlock();
      ++frames;
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    running = false;
    tick.join();
    benchmark::DoNotOptimize(sink);
    report_samples(s, frames, seconds);
  }
}
BENCHMARK(BM_lock_model<MutexLock>)
    ->Name("BM_lock_model_mutex")
    ->Iterations(1)
    ->UseRealTime()
    ->Unit(benchmark::kSecond);
BENCHMARK(BM_lock_model<ScreenLock>)
    ->Name("BM_lock_model_screen_lock")
    ->Iterations(1)
    ->UseRealTime()
    ->Unit(benchmark::kSecond);

}  // namespace

int main(int argc, char** argv) {
  const char* real = "BM_lock_handoff";
  const char* mutex = "BM_lock_model_mutex";
  std::vector<bench::Figure> figures = {
      {"lock_wait_p50", real, "wait_p50_us", mutex, "wait_p50_us", 1.0, "us", "", nullptr},
      {"lock_wait_p99", real, "wait_p99_us", mutex, "wait_p99_us", 1.0, "us", "p99 < 1000 us",
       [](double v, double) { return v < 1000.0; }},
      {"lock_wait_max", real, "wait_max_us", mutex, "wait_max_us", 1.0, "us", "", nullptr},
      {"tick_interval_p50", real, "interval_p50_ms", mutex, "interval_p50_ms", 1.0, "ms", "",
       nullptr},
      {"tick_interval_p99", real, "interval_p99_ms", mutex, "interval_p99_ms", 1.0, "ms",
       "p99 < 12 ms", [](double v, double) { return v < 12.0; }},
      {"lock_model_wait_p99", "BM_lock_model_screen_lock", "wait_p99_us", mutex, "wait_p99_us", 1.0,
       "us", "", nullptr},
  };
  return bench::run_and_report(argc, argv, figures);
}
