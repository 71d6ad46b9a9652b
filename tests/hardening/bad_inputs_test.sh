#!/usr/bin/env bash
# The built tilewalk-flat on each damaged datapack, under Xvfb: it starts (its
# window appears), and Escape ends it with exit code 0. The window opens
# before the assets load and Escape is only seen by the first key step after
# them, so the time from the window's appearance to the exit covers all the
# loading: with the 100 MB map it must stay under a second, which it could
# not if the whole file were read. (Opening the window itself is X's and
# SDL's time, the same for every datapack, and is only reported.)
# Usage: bad_inputs_test.sh TILEWALK_FLAT WRITE_BAD_PACK
source "$(dirname "$0")/../e2e/lib.sh"
program=$1
writer=$2

start_x
for pack in $("$writer" --list); do
  dir="$work/$pack"
  "$writer" "$pack" "$dir" || fail "cannot write the $pack datapack"
  launched=$(date +%s%N)
  start_game "$program" "$dir"
  shown=$(date +%s%N)
  press Escape
  # lib.sh's wait_exit reports the status in $exit_status (older: on stdout).
  exit_status=""
  wait_exit 10 >"$work/wait.out"
  status=${exit_status:-$(cat "$work/wait.out")}
  ended=$(date +%s%N)
  window_ms=$(((shown - launched) / 1000000))
  elapsed_ms=$(((ended - shown) / 1000000))
  [ "$status" = 0 ] || fail "$pack: exit status $status after Escape: $(cat "$work/game.err")"
  [ ! -s "$work/game.err" ] || fail "$pack: the program wrote to standard error: $(cat "$work/game.err")"
  echo "ok: $pack: started, Escape, exit 0, window after ${window_ms} ms, loading and exit ${elapsed_ms} ms"
  if [ "$pack" = huge_map_100mb ] && [ "$elapsed_ms" -ge 1000 ]; then
    fail "$pack: from the window to the exit took ${elapsed_ms} ms"
  fi
  rm -rf "$dir"
done
