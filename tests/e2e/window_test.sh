#!/usr/bin/env bash
# The built program opens a 320 x 200 window titled after itself within 5 s,
# and Escape ends it with exit code 0 even when all its files are missing.
source "$(dirname "$0")/lib.sh"
program=$1

start_x
mkdir "$work/empty"
start_game "$program" "$work/empty"
[ "$(window_size)" = "320x200" ] || fail "window inside is $(window_size), not 320x200"
press Escape
wait_exit 5
[ "$exit_status" = 0 ] || fail "exit status $exit_status after Escape"
echo "ok: window, title, size, Escape"
