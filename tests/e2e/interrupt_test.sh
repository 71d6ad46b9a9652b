#!/usr/bin/env bash
# Ctrl+C in the terminal still ends the program: the window side installs no
# signal handlers of its own.
source "$(dirname "$0")/lib.sh"
program=$1

start_x
mkdir "$work/empty"
start_game_in_tmux "$program" "$work/empty"
tmux -L "$tmux_socket" send-keys -t 0 C-c
wait_exit_in_tmux
[ "$exit_status" = 130 ] || fail "exit status $exit_status, expected 130 (SIGINT)"
echo "ok: Ctrl+C ends the game"
