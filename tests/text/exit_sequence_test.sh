#!/usr/bin/env bash
# The exit sequence seen from outside: the child opens a screen, draws text and
# runs the game's way out. Inside a tmux pane that already holds some text the
# pane must end blank, every cell bright white on blue, cursor at the top-left,
# exit status 0. With output redirected to a file no escape byte may appear.
set -euo pipefail
child=${1:?usage: exit_sequence_test.sh path/to/text_exit_child}
command -v tmux >/dev/null || { echo "tmux is not installed"; exit 1; }

work=$(mktemp -d)
socket="tilewalk-text-$$"
cleanup() {
  tmux -L "$socket" kill-server 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# The pane keeps running after the child so that its last picture stays.
tmux -L "$socket" -f /dev/null new-session -d -x 80 -y 25 \
  "printf 'earlier output on the terminal\\n'; '$child'; echo \$? > '$work/status'; sleep 60"
for _ in $(seq 1 100); do
  [ -s "$work/status" ] && break
  sleep 0.1
done
[ -s "$work/status" ] || fail "child did not finish within 10 s"

status=$(cat "$work/status" 2>/dev/null || echo none)
[ "$status" = 0 ] || fail "exit status $status, expected 0"

plain=$(tmux -L "$socket" capture-pane -p -t 0)
if [ -n "$(printf '%s' "$plain" | tr -d ' \n')" ]; then
  fail "pane is not blank:"; printf '%s\n' "$plain"
fi

tmux -L "$socket" capture-pane -p -e -N -t 0 > "$work/pane"
lines=$(wc -l < "$work/pane")
[ "$lines" -eq 25 ] || fail "pane has $lines rows, expected 25"
# Blank cells keep their colours only with -e -N. tmux names an attribute
# where it changes, so the first row must open with bright white (97) on blue
# (44) and every row, that prefix aside, must be 80 plain spaces.
first_row=$(head -n 1 "$work/pane")
case "$first_row" in
  $'\e[97m\e[44m'*) ;;
  *) fail "first row does not start bright white on blue: $(printf '%s' "$first_row" | cat -A | head -c 80)" ;;
esac
other_rows=$(sed $'1s/^\e\\[97m\e\\[44m//' "$work/pane" | grep -vc '^ \{80\}$' || true)
[ "$other_rows" -eq 0 ] || { fail "$other_rows rows are not 80 blanks in one colour"; cat -A "$work/pane" | head -3; }

cursor=$(tmux -L "$socket" display -p -t 0 '#{cursor_x},#{cursor_y}')
[ "$cursor" = "0,0" ] || fail "cursor at $cursor, expected 0,0"

# Redirected: the same run writes no control sequence and exits 0.
if "$child" > "$work/out" 2> "$work/err"; then :; else fail "redirected run exited $?"; fi
if LC_ALL=C grep -q $'[\e\a]' "$work/out"; then fail "redirected output holds escape or bell bytes"; fi
[ ! -s "$work/out" ] || fail "redirected output is not empty: $(head -c 200 "$work/out" | cat -A)"

if [ "$failures" -eq 0 ]; then echo "1 passed, 0 failed"; exit 0; fi
echo "0 passed, 1 failed"
exit 1
