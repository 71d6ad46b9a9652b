#!/usr/bin/env bash
# tilewalk under a window manager (openbox): the maximise request switches to
# full screen, Alt+Enter returns to the 320 x 200 window with the same picture,
# and when the X connection is killed (xkill) the program says so on one line
# and exits with status 1.
source "$(dirname "$0")/lib.sh"
program=$1

start_x openbox
start_game "$program" "$(pwd)"
expect_position tilewalk_2_2
xdotool windowactivate --sync "$window"
wmctrl -i -r "$window" -b add,maximized_vert,maximized_horz
full_screen() { one_window && size_is 800x600; }
until_true 10 full_screen || fail "maximise did not give full screen: $(window_size)"

press alt+Return
windowed() { one_window && size_is 320x200; }
until_true 10 windowed || fail "Alt+Enter did not give the window back: $(window_size)"
expect_position tilewalk_2_2

xkill -id "$window" >/dev/null
wait_exit 10
[ "$exit_status" = 1 ] || fail "exit status $exit_status after xkill, expected 1"
[ "$(wc -l <"$work/game.err")" = 1 ] && grep -q '^tilewalk: the window was lost: .' "$work/game.err" ||
  fail "standard error: $(cat "$work/game.err")"
echo "ok: maximise, Alt+Enter, xkill: $(cat "$work/game.err")"
