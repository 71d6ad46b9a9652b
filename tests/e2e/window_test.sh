#!/usr/bin/env bash
# The built program opens a 320 x 200 black window titled after itself, and
# Escape ends it with exit code 0.
source "$(dirname "$0")/lib.sh"
program=$1

start_x
start_game "$program"
[ "$(window_size)" = "320x200" ] || fail "window inside is $(window_size), not 320x200"
python3 - "$work/black.mem" <<'PY'
import sys
open(sys.argv[1], "w").write(("0," * 319 + "0\n") * 200)
PY
wait_for_frame "$work/black.mem"
press Escape
status=$(wait_exit 5)
[ "$status" = 0 ] || fail "exit status $status after Escape"
echo "ok: window, size, black, Escape"
