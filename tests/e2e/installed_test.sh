#!/usr/bin/env bash
# The installed game: `cmake --install` into a fresh prefix, the launcher
# started from / finds its data (the shipped start frame, pixel for pixel),
# also through a link from elsewhere, and Escape exits 0.
source "$(dirname "$0")/lib.sh"
build=$1

cmake --install "$build" --prefix "$work/prefix" >/dev/null || fail "cmake --install failed"
mkdir "$work/bin"
ln -s "$work/prefix/games/tilewalk" "$work/bin/tilewalk"

start_x
for launcher in "$work/prefix/games/tilewalk" "$work/bin/tilewalk"; do
  start_game "$launcher" /
  expect_position tilewalk_2_2
  press Escape
  wait_exit 5
  [ "$exit_status" = 0 ] || fail "$launcher: exit status $exit_status after Escape"
done
echo "ok: installed launcher from / and through a link, start frame, Escape"
