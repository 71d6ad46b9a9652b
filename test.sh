#!/usr/bin/env bash
# Installs what is missing, checks the tests' size, builds and runs every
# layer: unit, headless runtime, SDL on its dummy driver, the built programs
# under Xvfb and the browser build in headless chromium (label web), the
# Windows build under Wine (./windows.sh, build/windows); then the
# suite under AddressSanitizer + UBSan, the threaded tests (the soak among
# them) under ThreadSanitizer, and a few seconds of the fuzzer. ./fuzz.sh and
# ./soak.sh are the long runs.
set -euo pipefail
cd "$(dirname "$0")"
started=$(date +%s)
stage() { echo "== $* (at $(($(date +%s) - started)) s)"; }

tools/install-deps.sh test
stage "test size"
tools/test-ratio.sh

# The page the web test drives; ctest below skips that test without it.
stage "browser build"
./web.sh
stage "default build"
cmake --preset default >/dev/null
cmake --build --preset default
stage "style"
tools/check-style.sh build/default
stage "default tests"
ctest --preset default --parallel 2 --timeout 300

# The Windows build under Wine: the unit and headless programs, then the zip
# as a player unpacks it. The libraries it needs are cached after a first run.
stage "windows build"
./windows.sh --tests
ctest --test-dir build/windows --output-on-failure --parallel 2 --timeout 300 -L 'unit|headless|windows'

# The built programs under Xvfb keep ASan and UBSan but not the leak check:
# SDL's X11 driver reaches D-Bus, which never frees its process-wide blocks,
# some of them in a library SDL has unloaded by exit, where no suppression can
# name them. The same game and window code is leak-checked by the headless and
# SDL tests.
stage "asan build"
cmake --preset asan >/dev/null
cmake --build --preset asan
ctest --preset asan --parallel 2 --timeout 600 -LE 'e2e|web'
# Sanitized programs start several times slower: the end-to-end waits stretch.
TILEWALK_TIMEOUT_SCALE=3 ASAN_OPTIONS=detect_leaks=0:halt_on_error=1 \
  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build/asan --output-on-failure --parallel 2 --timeout 600 -L e2e

# Only the threaded tests need ThreadSanitizer, so only their program is built.
stage "tsan build"
cmake --preset tsan >/dev/null
cmake --build --preset tsan --target headless_tests
ctest --preset tsan --parallel 2 --timeout 600 -L threaded

stage "fuzz"
./fuzz.sh 5
stage "all passed"
