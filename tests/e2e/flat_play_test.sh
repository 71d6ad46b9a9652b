#!/usr/bin/env bash
# tilewalk-flat stops at once without a display; with one, it reads the six
# files by their bare names from its working directory, draws no readout, is
# titled after itself, and Escape ends it.
source "$(dirname "$0")/lib.sh"
program=$1
project=$(pwd)

mkdir "$work/flat"
cp "$project"/datapack/graphics/*.mem "$project"/datapack/maps/*.mem "$work/flat/"
expect_no_display "$program"
start_x
start_game_in_tmux "$program" "$work/flat"
expect_position flat_2_2
[ "$(xdotool getwindowname "$window")" = tilewalk-flat ] || fail "title $(xdotool getwindowname "$window")"
press 6 6 6
expect_position flat_5_2
press Escape
expect_clean_exit_in_tmux
echo "ok: flat program start, title, walk, Escape"
