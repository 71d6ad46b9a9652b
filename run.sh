#!/usr/bin/env bash
# Installs what is missing, builds, and starts tilewalk with the shipped datapack.
set -euo pipefail
cd "$(dirname "$0")"
tools/install-deps.sh build
# A player's build: no tests, and warnings never stop it.
cmake -S . -B build/play -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTILEWALK_TESTS=OFF >/dev/null
cmake --build build/play --target tilewalk tilewalk-flat
exec build/play/game/tilewalk "$@"
