// Milliseconds from starting the process to its first frame on page 0 (the
// game on the headless back end), against starting a process that only
// answers at once.
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <vector>

#include "bench/bench_report.h"

extern char** environ;

namespace {

// Starts the child, waits for its byte, and reaps it; false on any failure.
bool start_once(const char* mode, std::chrono::steady_clock::duration& took) {
  int pipe_fds[2];
  if (pipe(pipe_fds) != 0) return false;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipe_fds[1], 1);
  posix_spawn_file_actions_addclose(&actions, pipe_fds[0]);
  std::string program = STARTUP_CHILD;
  std::vector<char*> args = {program.data()};
  std::string flag = mode;
  if (!flag.empty()) args.push_back(flag.data());
  args.push_back(nullptr);

  const auto start = std::chrono::steady_clock::now();
  pid_t child = 0;
  const int spawned = posix_spawn(&child, program.c_str(), &actions, nullptr, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(pipe_fds[1]);
  char byte = 0;
  const bool answered = spawned == 0 && read(pipe_fds[0], &byte, 1) == 1 && byte == 'F';
  took = std::chrono::steady_clock::now() - start;
  close(pipe_fds[0]);
  int status = 0;
  if (spawned == 0) waitpid(child, &status, 0);
  return answered && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void run(benchmark::State& s, const char* mode) {
  bench::enter_project_root();
  for (auto _ : s) {
    std::chrono::steady_clock::duration took{};
    if (!start_once(mode, took)) {
      s.SkipWithError("the child did not reach its first frame");
      return;
    }
    s.SetIterationTime(std::chrono::duration<double>(took).count());
  }
}

void BM_startup(benchmark::State& s) { run(s, ""); }
void BM_startup_bare_process(benchmark::State& s) { run(s, "--bare"); }
BENCHMARK(BM_startup)
    ->UseManualTime()
    ->Iterations(30)
    ->Repetitions(3)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_startup_bare_process)
    ->UseManualTime()
    ->Iterations(30)
    ->Repetitions(3)
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  std::vector<bench::Figure> figures = {
      {"startup", "BM_startup", "", "BM_startup_bare_process", "", 1e3, "ms", "", nullptr},
  };
  return bench::run_and_report(argc, argv, figures);
}
