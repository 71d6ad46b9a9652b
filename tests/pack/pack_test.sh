#!/usr/bin/env bash
# tilewalk-pack against the shipped datapack and the faults a modder makes:
# round trips keep every item and pixel, an off-palette colour is refused at
# its pixel, check points at the line where a file ends early or runs long,
# and preview draws the frames the real window showed (the e2e goldens).
# Usage: pack_test.sh TILEWALK-PACK, from the project root.
set -euo pipefail
pack=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# refused STATUS PATTERN COMMAND...: the command exits with STATUS and says PATTERN on stderr.
refused() {
  local want=$1 pattern=$2 status=0
  shift 2
  "$@" 2>"$work/err" || status=$?
  [ "$status" = "$want" ] || fail "$* exited $status, not $want: $(cat "$work/err")"
  grep -qF -- "$pattern" "$work/err" || fail "$* did not say '$pattern': $(cat "$work/err")"
}

# The shipped pack copied flat, as tilewalk-flat reads it, has no finding.
mkdir "$work/flat"
cp datapack/graphics/*.mem datapack/maps/*.mem "$work/flat/"
"$pack" check "$work/flat" --flat --strict 2>"$work/err" || fail "flat copy: $(cat "$work/err")"

# mem -> png -> mem: every shipped file comes back byte for byte, and a file
# in another layout comes back as the same items.
for file in datapack/graphics/*.mem datapack/maps/*.mem; do
  "$pack" to-png "$file" "$work/a.png"
  "$pack" from-png "$work/a.png" "$work/$(basename "$file")"
  cmp "$file" "$work/$(basename "$file")" || fail "$file changed on its way through PNG"
done
printf '"1" , 2\t3\r\n&H4,5.0,6e0\r\n\r\n' >"$work/messy.mem"
"$pack" to-png "$work/messy.mem" "$work/messy.png" --size 3x3
"$pack" from-png "$work/messy.png" "$work/tidy.mem"
printf '1,2,3\n4,5,6\n0,0,0\n' | cmp - "$work/tidy.mem" || fail "messy layout: $(cat "$work/tidy.mem")"

# png -> mem -> png: an RGB drawing in the 16 colours keeps every pixel,
# enlarged and with a transparent index on request.
convert -size 4x2 xc:'rgb(85,85,255)' -fill 'rgb(170,85,0)' -draw 'point 3,1' PNG24:"$work/rgb.png"
"$pack" from-png "$work/rgb.png" "$work/rgb.mem"
printf '9,9,9,9\n9,9,9,6\n' | cmp - "$work/rgb.mem" || fail "RGB import: $(cat "$work/rgb.mem")"
"$pack" to-png "$work/rgb.mem" "$work/back.png" --size 4x2
compare -metric AE "$work/rgb.png" "$work/back.png" null: 2>/dev/null || fail "pixels changed"
"$pack" to-png "$work/rgb.mem" "$work/big.png" --size 4x2 --scale 3 --transparent 6
alpha=$(identify -format '%wx%h %[fx:p{11,5}.a] %[fx:p{8,2}.a]' "$work/big.png")
[ "$alpha" = "12x6 0 1" ] || fail "scaled, index 6 transparent: $alpha"

# A paletted PNG in its own colour order (ImageMagick's) imports by colour;
# --keep-indices takes its indices.
convert -size 3x1 xc:'rgb(255,255,85)' -fill 'rgb(0,170,0)' -draw 'point 1,0' PNG8:"$work/own.png"
"$pack" from-png "$work/own.png" "$work/own.mem"
[ "$(cat "$work/own.mem")" = 14,2,14 ] || fail "own palette order: $(cat "$work/own.mem")"
"$pack" from-png "$work/own.png" "$work/kept.mem" --keep-indices 2>/dev/null
[ "$(cat "$work/kept.mem")" = 0,1,0 ] || fail "--keep-indices: $(cat "$work/kept.mem")"
# An anti-aliased drawing is refused with its count and writes nothing;
# --nearest snaps those pixels.
convert -size 16x16 xc:black -fill 'rgb(255,255,85)' -draw 'circle 8,8 8,3' PNG24:"$work/aa.png"
refused 1 "39 of its 256 pixels are not one of the 16" "$pack" from-png "$work/aa.png" "$work/aa.mem"
grep -qF "pixel (7, 3) has the colour (206, 206, 68), nearest 14 yellow" "$work/err" || fail "$(cat "$work/err")"
[ ! -e "$work/aa.mem" ] || fail "a refused PNG still wrote its .mem"
"$pack" from-png "$work/aa.png" "$work/aa.mem" --nearest 2>"$work/err"
grep -qF "snapped 39 pixels" "$work/err" || fail "--nearest: $(cat "$work/err")"
[ "$(sed -n 4p "$work/aa.mem" | cut -d, -f6-10)" = 0,8,14,14,14 ] || fail "snapped: $(sed -n 4p "$work/aa.mem")"

# A colour off the palette is refused, naming its pixel.
convert "$work/rgb.png" -fill 'rgb(1,2,3)' -draw 'point 2,1' PNG24:"$work/off.png"
refused 1 "pixel (2, 1) has the colour (1, 2, 3)" "$pack" from-png "$work/off.png" "$work/off.mem"
refused 1 "the game reads" "$pack" from-png "$work/rgb.png" "$work/skull01.mem"
refused 2 "--size" "$pack" to-png "$work/rgb.mem" "$work/x.png"

# check: a picture one row short ends on line 16; a map with an extra row
# runs long from line 33; an item that is no number is pointed at.
mkdir -p "$work/bad/datapack"
cp -r datapack/graphics datapack/maps "$work/bad/datapack/"
head -n 15 datapack/graphics/skull01.mem >"$work/bad/datapack/graphics/skull01.mem"
sed -n 1p datapack/maps/map002.mem >>"$work/bad/datapack/maps/map002.mem"
sed -i '2s/^8,/B,/' "$work/bad/datapack/graphics/brick03.mem"
refused 1 "skull01.mem:16:1: error: the file ends after 240 of the 256 items" "$pack" check "$work/bad"
grep -qF "map002.mem:33:1: error: more items" "$work/err" || fail "long map: $(cat "$work/err")"
grep -qF 'brick03.mem:2:1: error: "B" is no number' "$work/err" || fail "no number: $(cat "$work/err")"
grep -qF "3 errors, 0 warnings" "$work/err" || fail "summary: $(cat "$work/err")"

# preview: the start frame in both flame phases as the real window showed it.
"$pack" preview . "$work/start.png"
for phase in 0 1; do
  convert "$work/start.png" -crop "320x200+$((phase * 320))+0" +repage PNG24:"$work/half.png"
  "$pack" from-png "$work/half.png" "$work/half.mem"
  awk -F, '{ for (i = 1; i <= NF; i++) printf "%x", $i; print "" }' "$work/half.mem" |
    cmp - "tests/e2e/expected/tilewalk_2_2_phase$phase.frame" || fail "phase $phase"
done
# --map tells a flame that blocks (8, 2) from one that does not (35, 3), and
# puts the player figure on its cell (5, 2).
"$pack" preview "$work/map.png" --map --at 5,2
shown=$(identify -format '%wx%h %[pixel:p{128,32}] %[pixel:p{560,48}] %[pixel:p{86,33}]' "$work/map.png")
[ "$shown" = "1024x512 srgb(255,85,255) srgb(0,0,0) srgb(170,170,170)" ] || fail "map: $shown"
# The whole map, pixel for pixel, as it was looked at when this was written.
[ "$(identify -format '%#' "$work/map.png")" = f5770634f999e61c069a441fc76944508f61d893b8f7f56d270bed265efb6a9d ] ||
  fail "the map preview changed: tilewalk-pack preview OUT.png --map --at 5,2 draws it"
echo "ok"
