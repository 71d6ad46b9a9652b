#!/usr/bin/env bash
# Fails when clang-format would change a C++ file, or when the clang-tidy
# checks of .clang-tidy find anything in game/ or runtime/.
# Usage: tools/check-style.sh [BUILD_DIR]   (default: build/default, which must
# hold compile_commands.json)
#
# clang-tidy takes seconds per file, so a file whose preprocessed text and
# check settings were found clean before is not checked again: its hash is
# kept under BUILD_DIR/style-clean.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/default}
status=0

# The generated font table is data; every other C++ file is formatted.
mapfile -t formatted < <(find game runtime tests bench fuzz pack web \
  \( -name '*.cpp' -o -name '*.h' \) ! -name font_table.cpp 2>/dev/null | sort)
if ! clang-format --dry-run --Werror "${formatted[@]}" 2>"$build/style-format.log"; then
  grep -E '^[^ ].*: (error|warning):' "$build/style-format.log" | cut -d: -f1 | sort -u \
    | sed 's/^/clang-format would change: /' >&2
  echo "fix with: clang-format -i FILE" >&2
  status=1
fi

[ -f "$build/compile_commands.json" ] || { echo "no $build/compile_commands.json" >&2; exit 1; }
clean="$build/style-clean"
mkdir -p "$clean"
# Each file's stamp: its preprocessed text (headers included) and the settings.
stamps=$(python3 - "$build/compile_commands.json" "$(cat .clang-tidy .clang-format)" <<'PY'
import hashlib, json, os, re, shlex, subprocess, sys
entries, settings, seen = json.load(open(sys.argv[1])), sys.argv[2].encode(), set()
for entry in sorted(entries, key=lambda e: e["file"]):
    file = os.path.relpath(entry["file"])
    if not re.match(r"(game|runtime)/.*\.cpp$", file) or file.endswith("font_table.cpp"):
        continue
    if file in seen:
        continue
    seen.add(file)
    args, kept = shlex.split(entry["command"]), []
    while args:
        arg = args.pop(0)
        if arg in ("-o", "-MF", "-MT"):
            args.pop(0)
        elif arg not in ("-c", "-MD"):
            kept.append(arg)
    text = subprocess.run(kept + ["-E", "-P"], cwd=entry["directory"], capture_output=True).stdout
    print(file, hashlib.sha1(text + settings).hexdigest())
PY
)
# Prints the file when clang-tidy finds something in it; remembers it if not.
check_one() {
  local file=$1 stamp="$clean/$2" log
  [ -f "$stamp" ] && return 0
  log=$(mktemp)
  if clang-tidy -p "$build" --quiet "$file" >"$log" 2>/dev/null \
      && ! grep -qE '(warning|error):' "$log"; then
    mv "$log" "$stamp"
  else
    cat "$log" >&2
    rm -f "$log"
    echo "$file"
  fi
}
export build clean
export -f check_one
mapfile -t findings < <(printf '%s\n' "$stamps" | xargs -P 2 -L 1 bash -c 'check_one "$0" "$1"')
if [ ${#findings[@]} -gt 0 ]; then
  printf 'clang-tidy found something in: %s\n' "${findings[@]}" >&2
  status=1
fi
exit $status
