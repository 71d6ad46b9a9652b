#!/usr/bin/env bash
# tilewalk-pack against the table of cases in tests/pack/cases.txt: each case
# writes one file into a fresh copy of the shipped datapack (or draws one
# with ImageMagick), runs its shell line there and checks the exit status and
# one line of what it printed (an expected line ending in $ must end there).
# Usage: pack_cases.sh TILEWALK-PACK, from the project root.
set -euo pipefail
tool=$(realpath "$1")
pack() { timeout 60 "$tool" "$@"; }  # a tool caught in a loop fails its case
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
while IFS='|' read -r file content status args expected; do
  # Without a fork per field: read drops the spaces around each one.
  read -r file <<<"$file"
  [ -z "$file" ] || [ "${file:0:1}" = "#" ] && continue
  read -r content <<<"$content"
  read -r status <<<"$status"
  read -r expected <<<"$expected"
  # The cases that change no file share one copy.
  dir=$work/changed
  [ "$file" != - ] || dir=$work/shared
  if [ "$file" != - ] || [ ! -d "$dir" ]; then
    rm -rf "$dir" && mkdir "$dir" && cp -r datapack "$dir/"
  fi
  target="$dir/datapack/$file"
  # shellcheck disable=SC2059 # the table's content is a printf format
  case "$content" in
    "<none>") rm "$target" ;;
    "<dir>") rm "$target" && mkdir "$target" ;;
    "<convert "*) (cd "$dir/datapack" && eval "convert ${content:9:-1}") ;;
    "<sed "*) sed -i "${content:5:-1}" "$target" ;;
    -) ;;
    *) printf -- "$content" >"$target" ;;
  esac
  got=0
  # A write past a file size limit fails instead of ending the tool.
  (cd "$dir" && trap '' XFSZ && eval "$args") >"$work/said" 2>&1 || got=$?
  found=; [ -n "$expected" ] || found=1
  while IFS= read -r said; do
    if [ "${expected: -1}" = "$" ]; then
      [[ "$said" != *"${expected%$}" ]] || found=1
    else
      [[ "$said" != *"$expected"* ]] || found=1
    fi
  done <"$work/said"
  if [ "$got" != "$status" ] || [ -z "$found" ]; then
    echo "FAIL: $args (with $file: $content) exited $got: $(head -c 600 "$work/said")" >&2
    failures=$((failures + 1))
  fi
done <tests/pack/cases.txt
[ "$failures" = 0 ] && echo ok
