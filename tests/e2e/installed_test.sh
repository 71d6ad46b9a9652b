#!/usr/bin/env bash
# The installed game: `cmake --install` into a fresh prefix, the launcher
# started from / finds its data (the shipped start frame, pixel for pixel),
# also through a link from elsewhere, and Escape exits 0. Both launchers play
# a modder's folder given to them (its start frame as the datapack tool draws
# it), and refuse a folder that is no pack with one line and status 2.
source "$(dirname "$0")/lib.sh"
build=$1

cmake --install "$build" --prefix "$work/prefix" >/dev/null || fail "cmake --install failed"
games=$work/prefix/games
mkdir "$work/bin"
ln -s "$games/tilewalk" "$work/bin/tilewalk"

# A pack of one's own: bricks drawn as skulls, in both layouts.
mkdir -p "$work/mine/datapack" "$work/flat"
cp -r datapack/graphics datapack/maps "$work/mine/datapack/"
cp datapack/graphics/skull01.mem "$work/mine/datapack/graphics/brick03.mem"
cp "$work"/mine/datapack/*/*.mem "$work/flat/"
# Its start frames in both flame phases, as the game's own code draws them.
frames() {
  "$games/tilewalk-pack" preview "$@" "$work/preview.png"
  for phase in 0 1; do
    convert "$work/preview.png" -crop "320x200+$((phase * 320))+0" +repage PNG24:"$work/half.png"
    python3 "$e2e_dir/screenshot_to_frame.py" "$work/half.png" "$work/$1_phase$phase.frame"
  done
}
(cd "$work" && frames mine && frames flat --flat)

start_x
play() {  # play LAUNCHER EXPECTED [DIR]: from /, the start frame, then Escape
  start_game "$1" / "$1" "${@:3}"
  expect_position "$2"
  press Escape
  wait_exit 5
  [ "$exit_status" = 0 ] || fail "$1: exit status $exit_status after Escape"
}
play "$games/tilewalk" tilewalk_2_2
play "$work/bin/tilewalk" tilewalk_2_2
play "$games/tilewalk-flat" flat_2_2
expected_dir=$work
play "$games/tilewalk" mine "$work/mine"
play "$games/tilewalk-flat" flat "$work/flat"

for launcher in tilewalk tilewalk-flat; do
  status=0
  "$games/$launcher" "$work/bin" 2>"$work/err" || status=$?
  [ "$status" = 2 ] && [ "$(wc -l <"$work/err")" = 1 ] &&
    grep -q "^$launcher: $work/bin is no datapack" "$work/err" ||
    fail "$launcher with a folder that is no pack: status $status, $(cat "$work/err")"
done
echo "ok: installed launchers, shipped and own packs, a folder that is no pack"
