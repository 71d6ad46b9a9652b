# Shared helpers of the end-to-end tests: a private X server (with a window
# manager if asked), the game found by its process, screenshots as
# frames of palette indices. Sourced by the test scripts.
#
# Every wait is a condition polled against a deadline; deadlines are generous
# and scaled by TILEWALK_TIMEOUT_SCALE (sanitizer builds start slowly).
set -eEuo pipefail
# A command that stops a script says so, with its line.
trap 'echo "FAIL: line $LINENO: $BASH_COMMAND (status $?)" >&2' ERR

e2e_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
work=$(mktemp -d)
scale=${TILEWALK_TIMEOUT_SCALE:-1}
tmux_runs=0
tmux_socket="tilewalk-e2e-$$-0"
xvfb_pid=""
wm_pid=""
game_pid=""
status_file=""
window=""

cleanup() {
  [ -n "$game_pid" ] && kill "$game_pid" 2>/dev/null || true
  tmux -L "$tmux_socket" kill-server 2>/dev/null || true
  [ -n "$wm_pid" ] && kill "$wm_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# until SECONDS COMMAND...: runs COMMAND every 0.1 s until it succeeds;
# false when SECONDS (times the scale) pass first.
until_true() {
  local deadline=$(($(date +%s%N) + $1 * scale * 1000000000))
  shift
  until "$@"; do
    [ "$(date +%s%N)" -lt "$deadline" ] || return 1
    sleep 0.1
  done
}

# expect_no_display PROGRAM: with no display to reach, PROGRAM says why on
# one line and exits 1 within a second.
expect_no_display() {
  local started=$(date +%s%N) status=0 name
  name=$(basename "$1")
  env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER timeout 10 "$1" >/dev/null 2>"$work/err" ||
    status=$?
  local elapsed_ms=$((($(date +%s%N) - started) / 1000000))
  [ "$status" = 1 ] && [ "$(wc -l <"$work/err")" = 1 ] &&
    grep -q "^$name: cannot open a window: ." "$work/err" ||
    fail "without a display: status $status, standard error: $(cat "$work/err")"
  [ "$elapsed_ms" -lt $((1000 * scale)) ] || fail "without a display it took $elapsed_ms ms"
}

# start_x [openbox]: a private Xvfb on a free display, exported as DISPLAY;
# with "openbox", that window manager running on it.
start_x() {
  exec 3>"$work/displayfd"
  Xvfb -displayfd 3 -noreset -nolisten tcp -screen 0 800x600x24 2>"$work/xvfb.log" &
  xvfb_pid=$!
  until_true 10 test -s "$work/displayfd" || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
  export DISPLAY=":$(head -n1 "$work/displayfd")"
  unset WAYLAND_DISPLAY
  if [ "${1:-}" = openbox ]; then
    openbox --sm-disable >"$work/openbox.log" 2>&1 &
    wm_pid=$!
    until_true 10 wmctrl -m >/dev/null 2>&1 || fail "openbox did not start"
  fi
}

one_window() {
  local found
  found=$(xdotool search --onlyvisible --pid "$game_pid" 2>/dev/null || true)
  [ -n "$found" ] && [ "$(wc -l <<<"$found")" = 1 ] && window=$found
}

# Sets $window to the game's one mapped window (there may be a new one after
# a switch to full screen or a lost window).
find_window() {
  window=""
  until_true 10 one_window || fail "no single window of the game: $(cat "$work/game.err")"
}

# start_game PROGRAM [DIR [NAME [ARGUMENT...]]]: starts PROGRAM in DIR
# (default: here) under NAME (argv[0]; default: PROGRAM), output to
# $work/game.{out,err}.
start_game() {
  local program=$1 dir=${2:-$PWD} name=${3:-$1}
  status_file=""
  (cd "$dir" && exec -a "$name" "$program" "${@:4}") >"$work/game.out" 2>"$work/game.err" &
  game_pid=$!
  find_window
}

# start_game_in_tmux PROGRAM DIR [NAME]: as start_game, in a tmux pane of its
# own so that the console it leaves can be read. The pane's shell outlives a
# Ctrl+C (a handler, unlike an ignore, is not inherited) to record the status.
start_game_in_tmux() {
  status_file="$work/status"
  rm -f "$work/pid" "$status_file"
  # A server of its own for each run: one just told to go may still hold its
  # socket.
  tmux -L "$tmux_socket" kill-server 2>/dev/null || true
  tmux_runs=$((tmux_runs + 1))
  tmux_socket="tilewalk-e2e-$$-$tmux_runs"
  cat >"$work/pane.sh" <<EOF
trap : INT
printf 'earlier output\\n'
cd '$2'
bash -c 'echo \$\$ >"\$0"; exec -a "\$1" "\$2"' '$work/pid' '${3:-$1}' '$1' 2>'$work/game.err'
echo \$? >'$status_file'
sleep 600
EOF
  tmux -L "$tmux_socket" -f /dev/null new-session -d -x 80 -y 25 "DISPLAY=$DISPLAY bash $work/pane.sh"
  until_true 10 test -s "$work/pid" || fail "the game did not start in tmux"
  game_pid=$(cat "$work/pid")
  find_window
}

# The inside size of $window as WIDTHxHEIGHT.
window_size() {
  xwininfo -id "$window" 2>/dev/null | awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print w "x" h}'
}

size_is() { [ "$(window_size)" = "$1" ]; }

press() {
  xdotool key --delay 30 "$@"
}

# Where the expected frames lie; a test of frames it makes itself sets its own.
expected_dir=$e2e_dir/expected

# True when the window shows $expected_dir/NAME in either flame phase.
# A capture can fail while the window changes; that is a "not yet".
shows() {
  import -window "$window" -depth 8 "$work/shot.png" 2>/dev/null || return 1
  python3 "$e2e_dir/screenshot_to_frame.py" "$work/shot.png" "$work/frame.frame" || return 1
  cmp -s "$work/frame.frame" "$expected_dir/$1_phase0.frame" ||
    cmp -s "$work/frame.frame" "$expected_dir/$1_phase1.frame"
}

# expect_position NAME: the window shows the frame within 5 s.
expect_position() {
  until_true 5 shows "$1" && return 0
  python3 "$e2e_dir/screenshot_to_frame.py" --diff "$work/frame.frame" \
    "$expected_dir/$1_phase0.frame" >&2 || true
  fail "the window never showed $1"
}

ended() {
  if [ -n "$status_file" ]; then
    [ -s "$status_file" ] && exit_status=$(cat "$status_file")
  elif ! kill -0 "$game_pid" 2>/dev/null; then
    exit_status=0
    wait "$game_pid" || exit_status=$?
  else
    return 1
  fi
}

# wait_exit SECONDS: waits for the game to end and sets $exit_status.
wait_exit() {
  exit_status=""
  until_true "$1" ended || fail "the game did not end within $1 s"
  game_pid=""
}

# After the game ended in tmux: exit status 0 and a blank pane, bright white
# on blue, cursor at the top-left.
expect_clean_exit_in_tmux() {
  wait_exit 5
  [ "$exit_status" = 0 ] || fail "exit status $exit_status: $(cat "$work/game.err")"
  local plain
  plain=$(tmux -L "$tmux_socket" capture-pane -p -t 0)
  [ -z "$(printf '%s' "$plain" | tr -d ' \n')" ] || fail "the console is not blank: $plain"
  tmux -L "$tmux_socket" capture-pane -p -e -N -t 0 >"$work/pane"
  case "$(head -n 1 "$work/pane")" in
    $'\e[97m\e[44m'*) ;;
    *) fail "the console is not bright white on blue" ;;
  esac
  [ "$(tmux -L "$tmux_socket" display -p -t 0 '#{cursor_x},#{cursor_y}')" = "0,0" ] ||
    fail "the cursor is not at the top-left"
}
