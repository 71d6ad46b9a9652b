#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: unit, headless runtime,
# SDL on its dummy driver, and the built programs under Xvfb.
set -euo pipefail
cd "$(dirname "$0")"
tools/install-deps.sh test
cmake --preset default -DTILEWALK_TESTS=ON >/dev/null
cmake --build --preset default
ctest --preset default --parallel 2 --timeout 300
