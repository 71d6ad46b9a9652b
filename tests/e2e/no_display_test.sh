#!/usr/bin/env bash
# With no display reachable the program says why on one line and exits 1 at once.
set -uo pipefail
program=$1
name=$(basename "$program")
err=$(mktemp)
trap 'rm -f "$err"' EXIT

start=$(date +%s%N)
env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER timeout 10 "$program" >/dev/null 2>"$err"
status=$?
elapsed_ms=$(( ($(date +%s%N) - start) / 1000000 ))

[ "$status" = 1 ] || { echo "FAIL: exit status $status, not 1" >&2; cat "$err" >&2; exit 1; }
[ "$(wc -l < "$err")" = 1 ] || { echo "FAIL: expected one line on stderr:" >&2; cat "$err" >&2; exit 1; }
grep -q "^$name: cannot open a window: ." "$err" || { echo "FAIL: message: $(cat "$err")" >&2; exit 1; }
[ "$elapsed_ms" -lt 1000 ] || { echo "FAIL: took $elapsed_ms ms" >&2; exit 1; }
echo "ok: $(cat "$err") ($elapsed_ms ms)"
