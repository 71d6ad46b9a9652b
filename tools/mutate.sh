#!/usr/bin/env bash
# Mutation testing of the shipped code that the native tests can build:
# every .cpp under game/, runtime/ and pack/ that the default build compiles
# (its compile database), so that files only another toolchain builds (the
# browser back end under Emscripten, a Windows platform file) are never
# counted as faults the suite missed. A build that runs longer than the build
# time limit (a mutated program the build itself runs, caught in a loop) is
# stopped and left out of the score, and the run goes on.
# Usage: tools/mutate.sh [mutate.py options: --count N --seed S --list ...]
# MUTATE names the tool (default: ../shared/tools/mutate.py beside the tree).
set -euo pipefail
cd "$(dirname "$0")/.."
tool=${MUTATE:-../shared/tools/mutate.py}
database=build/default/compile_commands.json
[ -f "$database" ] || cmake --preset default >/dev/null
mapfile -t files < <(python3 - "$database" "$PWD" <<'EOF'
import json, os, sys
root = sys.argv[2]
seen = set()
for entry in json.load(open(sys.argv[1])):
    path = os.path.relpath(os.path.join(entry['directory'], entry['file']), root)
    if path.split('/')[0] in ('game', 'runtime', 'pack') and path.endswith('.cpp'):
        seen.add(path)
print('\n'.join(sorted(seen)))
EOF
)
exec python3 "$tool" --repo . --build-timeout "${MUTATE_BUILD_TIMEOUT:-600}" "$@" --files "${files[@]}"
