#!/usr/bin/env bash
# ./soak.sh MINUTES: the game's frame loop on the headless back end for
# MINUTES, flat out with the live window tick and 1,000 random keys a second
# from a third thread, built under ThreadSanitizer (build/tsan). Fails on a
# sanitizer report, a torn frame, an overfull key ring or growing memory; see
# tests/hardening/soak_test.cpp.
set -euo pipefail
cd "$(dirname "$0")"
minutes=${1:?usage: ./soak.sh MINUTES}

tools/install-deps.sh test
cmake --preset tsan >/dev/null
cmake --build --preset tsan --target headless_tests
TILEWALK_SOAK_SECONDS=$(awk -v m="$minutes" 'BEGIN { print m * 60 }') \
  TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" \
  build/tsan/tests/headless_tests --gtest_filter=Threads.Soak
