#!/usr/bin/env bash
# Installs what is missing, builds, and starts tilewalk with the shipped datapack.
set -euo pipefail
cd "$(dirname "$0")"
tools/install-deps.sh build
cmake --preset default -DTILEWALK_TESTS=OFF >/dev/null
cmake --build --preset default --target tilewalk tilewalk-flat
exec build/default/game/tilewalk "$@"
