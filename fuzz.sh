#!/usr/bin/env bash
# ./fuzz.sh SECONDS: builds the libFuzzer targets with clang in build/fuzz and
# runs each for SECONDS from the checked-in seeds (fuzz/corpus/), keeping what
# it learns in build/fuzz/corpus/. Any crash or broken invariant fails the run;
# the reproducer is left in build/fuzz/artifacts/.
set -euo pipefail
cd "$(dirname "$0")"
seconds=${1:?usage: ./fuzz.sh SECONDS}

tools/install-deps.sh fuzz
# Scratch files of the targets that read by path; memory is faster than disk.
[ -d /dev/shm ] && [ -w /dev/shm ] && export TMPDIR=/dev/shm
cmake -S fuzz -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build build/fuzz -j2 --target item_reader_fuzz loader_fuzz key_translation_fuzz \
  text_write_fuzz

# target, seed directory, longest input (the reader's crosses 8192-byte blocks)
runs=(
  "item_reader_fuzz mem 20000"
  "loader_fuzz mem 20000"
  "key_translation_fuzz keys 8"
  "text_write_fuzz text 2000"
)
mkdir -p build/fuzz/artifacts
summary=()
for run in "${runs[@]}"; do
  read -r target seeds max_len <<<"$run"
  corpus=build/fuzz/corpus/$target
  log=build/fuzz/$target.log
  mkdir -p "$corpus"
  echo "== $target for $seconds s"
  # stdout carries whatever the code under test prints (a bell, say); the
  # fuzzer reports on stderr.
  if ! ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    "build/fuzz/$target" -max_total_time="$seconds" -max_len="$max_len" -print_final_stats=1 \
    -artifact_prefix=build/fuzz/artifacts/"$target"- "$corpus" "fuzz/corpus/$seeds" \
    >/dev/null 2>"$log"; then
    tail -n 40 "$log" >&2
    echo "FAIL: $target (log: $log)" >&2
    exit 1
  fi
  executions=$(awk '/stat::number_of_executed_units/ {print $2}' "$log")
  summary+=("$target: $executions executions in $seconds s, no failure")
done
printf '%s\n' "${summary[@]}"
