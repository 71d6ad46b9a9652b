#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: unit, headless runtime,
# SDL on its dummy driver, and the built programs under Xvfb. Then the same
# suite under AddressSanitizer + UBSan, the threaded tests under
# ThreadSanitizer, each fuzz target for 30 s and a one-minute soak.
set -euo pipefail
cd "$(dirname "$0")"
started=$(date +%s)
stage() { echo "== $* (at $(($(date +%s) - started)) s)"; }

tools/install-deps.sh test
stage "default build"
cmake --preset default -DTILEWALK_TESTS=ON >/dev/null
cmake --build --preset default
ctest --preset default --parallel 2 --timeout 300

# Every test again, e2e included: the built programs run instrumented under Xvfb.
stage "asan build"
cmake --preset asan >/dev/null
cmake --build --preset asan
ctest --preset asan --parallel 2 --timeout 600

# Unit tests are single-threaded; every headless and SDL test runs the real
# window thread and tick against the game's thread, and the `threaded` label
# marks the stress tests that post keys under load.
stage "tsan build"
cmake --preset tsan >/dev/null
cmake --build --preset tsan
ctest --preset tsan --parallel 2 --timeout 600 -L 'headless|sdl|threaded'

stage "fuzz"
./fuzz.sh 30
stage "soak"
./soak.sh 1
stage "all passed"
