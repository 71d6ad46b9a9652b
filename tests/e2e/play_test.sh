#!/usr/bin/env bash
# Without a display tilewalk says why and stops. Then a player's session with
# tilewalk, started under another name (argv[0]):
# exactly one window appears, titled after the program's file; the start
# frame, a walk, keys that must not move (digits with right Alt or Ctrl among
# them), the number pad with Num Lock off and on; a resize is undone; a
# window destroyed by another client comes back and play goes on; Ctrl+[ ends
# the game as Escape does. Then Ctrl+C in the terminal ends a second run,
# started where no asset file is.
source "$(dirname "$0")/lib.sh"
program=$1
project=$(pwd)

expect_no_display "$program"
start_x
# xdotool presses the first key of a modifier with any key of it: with the
# left Alt moved away, Alt_R alone is the right Alt alone.
setxkbmap -option altwin:swap_lalt_lwin
# Every window mapped on the display is logged from the moment the log shows
# a property change of the root window.
xev -root -event substructure -event property >"$work/xev.log" 2>&1 &
listening() {
  xprop -root -f TILEWALK_E2E 8s -set TILEWALK_E2E ready
  grep -q TILEWALK_E2E "$work/xev.log"
}
until_true 5 listening || fail "xev does not report the root window's events"

start_game_in_tmux "$program" "$project" /somewhere/tw.a.b
expect_position tilewalk_2_2
[ "$(grep -c '^MapNotify' "$work/xev.log")" = 1 ] || fail "windows mapped at start: $(grep -c '^MapNotify' "$work/xev.log")"
[ "$(xdotool getwindowname "$window")" = tilewalk ] || fail "title $(xdotool getwindowname "$window")"
size_is 320x200 || fail "window inside is $(window_size), not 320x200"

press ctrl+9 6 6 6 3 3
expect_position tilewalk_7_4
# None of the first keys may move the player (nor may Ctrl+9 above): function
# keys, arrows, 5, 0, a letter, digits with right Alt or Ctrl, the number pad
# with Num Lock off; with it on, KP_Up types 8.
press F1 F10 Up Left 5 0 a Alt_R+2 ctrl+1 KP_Up KP_Begin Num_Lock KP_Up Num_Lock
expect_position tilewalk_7_3

xdotool windowsize "$window" 500 400
until_true 5 size_is 320x200 || fail "resized to $(window_size)"
expect_position tilewalk_7_3

xdotool windowclose "$window"
find_window
expect_position tilewalk_7_3
press 2
expect_position tilewalk_7_4

press ctrl+bracketleft
expect_clean_exit_in_tmux

mkdir "$work/empty"
start_game_in_tmux "$program" "$work/empty"
tmux -L "$tmux_socket" send-keys -t 0 C-c
wait_exit 5
[ "$exit_status" = 130 ] || fail "exit status $exit_status after Ctrl+C, expected 130"
echo "ok: one window, title, walk, ignored keys, number pad, resize, lost window, Ctrl+[, Ctrl+C"
