#!/usr/bin/env bash
# ./fuzz.sh SECONDS: builds the libFuzzer target with clang in build/fuzz and
# runs it for SECONDS from the checked-in seeds (fuzz/corpus/), keeping what it
# learns in build/fuzz/corpus/. Any crash or broken invariant fails the run;
# the reproducer is left in build/fuzz/artifacts/.
set -euo pipefail
cd "$(dirname "$0")"
seconds=${1:?usage: ./fuzz.sh SECONDS}

tools/install-deps.sh fuzz
cmake -S fuzz -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build build/fuzz -j2 --target runtime_fuzz
mkdir -p build/fuzz/corpus build/fuzz/artifacts
# stdout carries whatever the code under test prints (a bell, say); the
# fuzzer reports on stderr. The reader's inputs cross 8192-byte blocks.
if ! ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 build/fuzz/runtime_fuzz \
  -max_total_time="$seconds" -max_len=20000 -print_final_stats=1 \
  -artifact_prefix=build/fuzz/artifacts/ build/fuzz/corpus fuzz/corpus \
  >/dev/null 2>build/fuzz/log; then
  tail -n 40 build/fuzz/log >&2
  echo "FAIL: runtime_fuzz (log: build/fuzz/log)" >&2
  exit 1
fi
echo "runtime_fuzz: $(awk '/number_of_executed_units/ {print $2}' build/fuzz/log) executions in $seconds s, no failure"
