#!/usr/bin/env bash
# Ctrl+C in the terminal still ends the program: the window side installs no
# signal handlers of its own.
source "$(dirname "$0")/lib.sh"
program=$1

start_x
mkdir "$work/empty"
start_game_in_tmux "$program" "$work/empty"
tmux -L "$tmux_socket" send-keys -t 0 C-c
for _ in $(seq 100); do
  [ -s "$work/status" ] && break
  sleep 0.05
done
[ -s "$work/status" ] || fail "Ctrl+C did not end the game within 5 s"
[ "$(cat "$work/status")" = 130 ] || fail "exit status $(cat "$work/status"), expected 130 (SIGINT)"
echo "ok: Ctrl+C ends the game"
