#include "bench/bench_report.h"

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <optional>

namespace bench {
namespace {

// Keeps, for every benchmark, its median over repetitions when there are
// repetitions, else its one run.
class CapturingReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.error_occurred) continue;
      const std::string name = run.run_name.function_name;
      const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
      if (run.run_type == Run::RT_Iteration) {
        if (!medians_.count(name)) runs_[name] = run;
      } else if (median) {
        medians_[name] = run;
        runs_[name] = run;
      }
    }
  }

  std::optional<double> value(const std::string& run, const std::string& counter) const {
    const auto found = runs_.find(run);
    if (found == runs_.end()) return std::nullopt;
    const Run& r = found->second;
    if (counter.empty()) {
      return r.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(r.time_unit);
    }
    const auto c = r.counters.find(counter);
    if (c == r.counters.end()) return std::nullopt;
    return c->second.value;
  }

 private:
  std::map<std::string, Run> runs_;
  std::map<std::string, Run> medians_;
};

}  // namespace

int run_and_report(int argc, char** argv, const std::vector<Figure>& figures) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  CapturingReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();

  std::printf("\n");
  for (const Figure& f : figures) {
    const auto value = reporter.value(f.run, f.counter);
    const auto baseline = reporter.value(f.baseline_run, f.baseline_counter);
    if (!value || !baseline) {
      std::printf("%s: not measured (benchmark filtered out or failed)\n", f.name.c_str());
      continue;
    }
    const double v = *value * f.scale;
    const double b = *baseline * f.scale;
    const double ratio = b != 0.0 ? v / b : 0.0;
    const char* verdict = !f.met ? "-" : f.met(v, ratio) ? "met" : "missed";
    std::printf("%s: %.4g %s; baseline %.4g %s; ratio %.3f; target %s: %s\n", f.name.c_str(), v,
                f.unit.c_str(), b, f.unit.c_str(), ratio,
                f.target.empty() ? "none" : f.target.c_str(), verdict);
    std::printf("RESULT|%s|%.4g %s|%.4g %s|%.3f|%s|%s\n", f.name.c_str(), v, f.unit.c_str(), b,
                f.unit.c_str(), ratio, f.target.empty() ? "-" : f.target.c_str(), verdict);
  }
  std::fflush(stdout);
  return 0;
}

long peak_resident_kib() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
  }
  return 0;
}

void enter_project_root() {
  if (chdir(TILEWALK_SOURCE_DIR) != 0) std::perror("chdir to the project root");
}

}  // namespace bench
