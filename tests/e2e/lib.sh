# Shared helpers of the end-to-end tests: a private X server, the game's
# window, screenshots as palette-index .mem frames. Sourced by the test scripts.
set -euo pipefail

e2e_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
work=$(mktemp -d)
xvfb_pid=""
game_pid=""

cleanup() {
  [ -n "$game_pid" ] && kill "$game_pid" 2>/dev/null || true
  tmux -L "$tmux_socket" kill-server 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# Starts Xvfb on a free display and exports DISPLAY.
start_x() {
  exec 3> "$work/displayfd"
  Xvfb -displayfd 3 -noreset -nolisten tcp -screen 0 800x600x24 2>"$work/xvfb.log" &
  xvfb_pid=$!
  for _ in $(seq 100); do
    [ -s "$work/displayfd" ] && break
    sleep 0.05
  done
  [ -s "$work/displayfd" ] || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
  export DISPLAY=":$(head -n1 "$work/displayfd")"
  unset WAYLAND_DISPLAY
}

# start_game PROGRAM [DIR]: starts PROGRAM in DIR (default: the project root),
# waits up to 5 s for its window and sets $window to the window id.
start_game() {
  local program=$1 dir=${2:-$PWD} title
  title=$(basename "$program")
  (cd "$dir" && exec "$program") >"$work/game.out" 2>"$work/game.err" &
  game_pid=$!
  window=""
  for _ in $(seq 100); do
    window=$(xdotool search --name "^${title}\$" 2>/dev/null | head -n1 || true)
    [ -n "$window" ] && break
    kill -0 "$game_pid" 2>/dev/null || fail "$title ended early: $(cat "$work/game.err")"
    sleep 0.05
  done
  [ -n "$window" ] || fail "no window titled $title within 5 s"
  xdotool windowfocus --sync "$window" 2>/dev/null || true
}

# The inside size of $window as WIDTHxHEIGHT.
window_size() {
  xwininfo -id "$window" | awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print w "x" h}'
}

# capture FILE.mem: the window's inside, turned into palette indices.
capture() {
  import -window "$window" "$work/shot.png"
  python3 "$e2e_dir/screenshot_to_mem.py" "$work/shot.png" "$1"
}

# wait_for_frame EXPECTED.mem: captures until the window shows the frame
# (up to 3 s), else fails with the difference.
wait_for_frame() {
  local expected=$1
  for _ in $(seq 30); do
    capture "$work/frame.mem"
    cmp -s "$work/frame.mem" "$expected" && return 0
    sleep 0.1
  done
  python3 "$e2e_dir/screenshot_to_mem.py" --diff "$work/frame.mem" "$expected" >&2 || true
  fail "the window never showed $(basename "$expected")"
}

press() {
  xdotool key --delay 30 "$@"
}

# wait_exit SECONDS: waits for the game to end and sets $exit_status.
wait_exit() {
  local seconds=$1
  for _ in $(seq $((seconds * 20))); do
    if ! kill -0 "$game_pid" 2>/dev/null; then
      exit_status=0
      wait "$game_pid" || exit_status=$?
      game_pid=""
      return 0
    fi
    sleep 0.05
  done
  fail "the game did not end within $seconds s"
}

# wait_for_either EXPECTED_A.mem EXPECTED_B.mem: as wait_for_frame, for a
# frame that may show either flame phase.
wait_for_either() {
  local a=$1 b=$2
  for _ in $(seq 30); do
    capture "$work/frame.mem"
    if cmp -s "$work/frame.mem" "$a" || cmp -s "$work/frame.mem" "$b"; then return 0; fi
    sleep 0.1
  done
  python3 "$e2e_dir/screenshot_to_mem.py" --diff "$work/frame.mem" "$a" >&2 || true
  fail "the window never showed $(basename "$a") or its other phase"
}

# expect_position NAME: the window shows tests/e2e/expected/NAME_phase{0,1}.mem.
expect_position() {
  wait_for_either "$e2e_dir/expected/$1_phase0.mem" "$e2e_dir/expected/$1_phase1.mem"
}

# The game in a tmux pane of its own, so the console it leaves can be read.
# The pane's shell outlives a Ctrl+C (a handler, unlike an ignore, is not
# inherited by the game) to record the exit status.
tmux_socket="tilewalk-e2e-$$"
start_game_in_tmux() {
  local program=$1 dir=$2 title
  title=$(basename "$program")
  tmux -L "$tmux_socket" -f /dev/null new-session -d -x 80 -y 25 \
    "trap : INT; printf 'earlier output\\n'; cd '$dir' && DISPLAY=$DISPLAY '$program'; echo \$? > '$work/status'; sleep 120"
  window=""
  for _ in $(seq 100); do
    window=$(xdotool search --name "^${title}\$" 2>/dev/null | head -n1 || true)
    [ -n "$window" ] && break
    sleep 0.05
  done
  [ -n "$window" ] || fail "no window titled $title within 5 s"
  xdotool windowfocus --sync "$window" 2>/dev/null || true
}

# Waits up to 5 s for the game in tmux to end and sets $exit_status.
wait_exit_in_tmux() {
  for _ in $(seq 100); do
    [ -s "$work/status" ] && break
    sleep 0.05
  done
  [ -s "$work/status" ] || fail "the game did not end within 5 s"
  exit_status=$(cat "$work/status")
}

# After the game ended in tmux: exit status 0 and a blank pane, bright white
# on blue, cursor at the top-left.
expect_clean_exit_in_tmux() {
  wait_exit_in_tmux
  [ "$exit_status" = 0 ] || fail "exit status $exit_status"
  local plain
  plain=$(tmux -L "$tmux_socket" capture-pane -p -t 0)
  [ -z "$(printf '%s' "$plain" | tr -d ' \n')" ] || fail "the console is not blank: $plain"
  tmux -L "$tmux_socket" capture-pane -p -e -N -t 0 > "$work/pane"
  case "$(head -n 1 "$work/pane")" in
    $'\e[97m\e[44m'*) ;;
    *) fail "the console is not bright white on blue" ;;
  esac
  [ "$(tmux -L "$tmux_socket" display -p -t 0 '#{cursor_x},#{cursor_y}')" = "0,0" ] \
    || fail "the cursor is not at the top-left"
}
