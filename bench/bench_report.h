// The shared main of the benchmark programs: runs the registered benchmarks,
// then prints each figure beside the baseline measured in the same run and
// their ratio, because a shared machine's absolute numbers drift from run to
// run while ratios hold. Every figure also gets one line
//   RESULT|figure|value|baseline|ratio|target|met
// that bench.sh gathers into bench/RESULTS.md. Main thread only.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace bench {

struct Figure {
  std::string name;     // as printed, e.g. "frame_loop"
  std::string run;      // benchmark whose result is the figure
  std::string counter;  // its counter; empty: real time per iteration in seconds
  std::string baseline_run;
  std::string baseline_counter;  // empty: real time per iteration in seconds
  double scale = 1.0;            // multiplies both values into `unit`
  std::string unit;
  std::string target;  // said in words, e.g. "ratio >= 0.7"
  // Whether the target was met; null: no target.
  std::function<bool(double value, double ratio)> met;
};

int run_and_report(int argc, char** argv, const std::vector<Figure>& figures);

// Peak resident set of this process in KiB (VmHWM), 0 if it cannot be read.
long peak_resident_kib();

// Enters the project root, so the datapack's relative paths resolve.
void enter_project_root();

}  // namespace bench
