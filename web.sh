#!/usr/bin/env bash
# tilewalk in the browser. Installs what is missing (Debian's emscripten and
# chromium, and the browser test's npm packages), then
#   ./web.sh               builds the page into build/web/
#   ./web.sh serve [PORT]  builds it and serves it on http://127.0.0.1:PORT/ (8000)
set -euo pipefail
cd "$(dirname "$0")"

tools/install-deps.sh web
# Debian's emscripten finds its JavaScript modules through NODE_PATH when the
# node on PATH is not Debian's own.
export NODE_PATH="/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}"
# What the browser test drives chromium with, as the lock file pins it.
if [ ! -f web/node_modules/.package-lock.json ] ||
   [ web/package-lock.json -nt web/node_modules/.package-lock.json ]; then
  (cd web && npm ci --no-audit --no-fund --loglevel=error)
fi

cmake --preset web >/dev/null
cmake --build --preset web

case "${1:-build}" in
  build) ;;
  serve) exec python3 web/serve.py build/web "${2:-8000}" ;;
  *) echo "usage: $0 [serve [PORT]]" >&2; exit 2 ;;
esac
