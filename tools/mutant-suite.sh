#!/usr/bin/env bash
# A test command for tools/mutate.sh that runs the suite's legs as ./test.sh
# does, cheapest first: the default build's tests, then, for a mutant they
# pass, the same tests built with ASan, UBSan and the leak check, where a
# leaked block or an undefined step fails. Non-zero when a leg fails.
# Usage: tools/mutate.sh --count 100 --seed S --test tools/mutant-suite.sh
# (configure and build the asan preset once first).
set -uo pipefail
ctest --preset default --stop-on-failure --timeout 120 -LE web >/dev/null 2>&1 || exit 1
# The build runs the datapack tool (icons), so a leak there stops it as
# ./test.sh would stop.
cmake --build --preset asan >/dev/null 2>&1 || exit 1
ctest --preset asan --stop-on-failure --timeout 600 -LE 'e2e|web' >/dev/null 2>&1 || exit 1
