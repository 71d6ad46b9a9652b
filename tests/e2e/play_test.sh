#!/usr/bin/env bash
# A player's session with the built tilewalk: the start frame, a walk with the
# top-row digits, keys that must not move, the number pad with Num Lock on and
# off, and Escape, which leaves the console blank and blue with exit code 0.
source "$(dirname "$0")/lib.sh"
program=$1
project=$(pwd)

start_x
start_game_in_tmux "$program" "$project"
[ "$(window_size)" = "320x200" ] || fail "window inside is $(window_size), not 320x200"
expect_position tilewalk_2_2

press 6 6 6 3 3
expect_position tilewalk_7_4

# None of these may move the player: function keys, arrows, 5, 0, a letter,
# and the number pad with Num Lock off (it sends the bare navigation keys).
press F1 F10 Up Left 5 0 a KP_Up KP_Begin
sleep 0.3
expect_position tilewalk_7_4

# With Num Lock on, the same key types 8 and steps up.
press Num_Lock KP_Up Num_Lock
expect_position tilewalk_7_3

press Escape
expect_clean_exit_in_tmux
echo "ok: start, walk, ignored keys, number pad, Escape"
