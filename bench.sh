#!/usr/bin/env bash
# Builds the release preset and runs every benchmark from the project root,
# printing each figure beside its in-run baseline and their ratio; then builds
# the page (./web.sh) and times its first frame in headless chromium. With
# --write, also rewrites bench/RESULTS.md from this run.
# Usage: ./bench.sh [--write] [--quick]   (--quick skips the million-frame memory run)
set -euo pipefail
cd "$(dirname "$0")"

write=0
quick=0
for arg in "$@"; do
  case "$arg" in
    --write) write=1 ;;
    --quick) quick=1 ;;
    *) echo "usage: $0 [--write] [--quick]" >&2; exit 2 ;;
  esac
done

tools/install-deps.sh bench
cmake --preset release >/dev/null
cmake --build --preset release -j2 --target bench_frame_loop bench_present bench_item_reader \
  bench_lock_handoff bench_startup bench_memory

programs=(bench_frame_loop bench_present bench_item_reader bench_lock_handoff bench_startup)
[ "$quick" -eq 0 ] && programs+=(bench_memory)

log=$(mktemp)
trap 'rm -f "$log"' EXIT
for program in "${programs[@]}"; do
  echo "== $program"
  build/release/bench/"$program" --benchmark_color=false | tee -a "$log"
done

echo "== page_start"
./web.sh >/dev/null
node bench/page_start_bench.mjs | tee -a "$log"

echo
echo "== summary (figure | value | baseline | ratio | target | verdict)"
grep '^RESULT|' "$log" | cut -d'|' -f2- | column -t -s'|'

if [ "$write" -eq 1 ]; then
  cpu=$(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//')
  {
    echo "# Benchmark results"
    echo
    echo "Made by \`./bench.sh --write\` on $(date -u '+%Y-%m-%d %H:%M UTC'); nproc $(nproc);"
    echo "CPU: ${cpu}; load average at the end: $(cut -d' ' -f1-3 /proc/loadavg)."
    echo "Each baseline was measured in the same run as its figure; see bench/ for what each one is."
    echo
    echo "| figure | value | baseline | ratio | target | verdict |"
    echo "| --- | --- | --- | --- | --- | --- |"
    grep '^RESULT|' "$log" | cut -d'|' -f2- | sed 's/|/ | /g; s/^/| /; s/$/ |/; s/  */ /g'
  } > bench/RESULTS.md
  echo "wrote bench/RESULTS.md"
fi
