#!/usr/bin/env bash
# The zip as a Windows player unpacks it, under Wine: every program imports
# only DLLs that every Windows 10 and 11 has; tilewalk.exe and
# flat\tilewalk-flat.exe show the desktop's start frame pixel for pixel, walk
# with the top-row digits and the number pad, and end with status 0 on Escape.
source "$(dirname "$0")/../e2e/lib.sh"
zip=$1
objdump=$2

(cd "$work" && cmake -E tar xf "$zip")
folder=$work/$(basename "$zip" .zip)

# The API set name is how WaitOnAddress is imported; Windows 8 and later map it.
system_dlls=(advapi32 api-ms-win-core-synch-l1-2-0 cfgmgr32 comdlg32 gdi32 hid imm32 kernel32 msvcrt
  ole32 oleaut32 setupapi shell32 user32 version winmm ws2_32)
for exe in "$folder"/tilewalk.exe "$folder"/tilewalk-pack.exe "$folder"/flat/tilewalk-flat.exe; do
  dlls=$("$objdump" -p "$exe" | awk '/DLL Name:/ { print tolower($3) }')
  [ -n "$dlls" ] || fail "no import table read from $exe"
  for dll in $dlls; do
    [[ " ${system_dlls[*]} " == *" ${dll%.dll} "* ]] || fail "$(basename "$exe") imports $dll"
  done
done

# start_wine_game DIR PROGRAM: PROGRAM.exe started in DIR, as a double-click
# or a console would, under Wine's own X11 driver.
start_wine_game() {
  status_file=""
  (cd "$1" && exec wine "$2") >"$work/game.out" 2>"$work/game.err" &
  game_pid=$!
  find_window
}

expect_clean_exit() {
  wait_exit 10
  [ "$exit_status" = 0 ] || fail "$1 ended with status $exit_status: $(cat "$work/game.err")"
}

start_x
# Wine's desktop keeps the display it was started with: the session starts
# again on this X server, with its services' output away from the test's.
trap 'wineserver -k 2>/dev/null || true; cleanup' EXIT
wineserver -k 2>/dev/null || true
wineserver -w
wineserver -p5 </dev/null >/dev/null 2>&1
start_wine_game "$folder" tilewalk.exe
expect_position tilewalk_2_2
[ "$(xdotool getwindowname "$window")" = tilewalk ] || fail "title $(xdotool getwindowname "$window")"
press 6 6 6 3 3
expect_position tilewalk_7_4
# With Num Lock on the number pad's 8 steps up (xdotool would toggle the lock
# itself to reach KP_8, so the key is sent by its other name).
press Num_Lock KP_Up
expect_position tilewalk_7_3
press Escape
expect_clean_exit tilewalk.exe

# Num Lock is still on: KP_Right is the number pad's 6.
start_wine_game "$folder/flat" tilewalk-flat.exe
expect_position flat_2_2
press 6 6 KP_Right
expect_position flat_5_2
press Escape
expect_clean_exit tilewalk-flat.exe
echo "ok: system DLLs only; tilewalk.exe and tilewalk-flat.exe start, walk with both digit rows, Escape"
