#!/usr/bin/env bash
# Installs the Debian packages a role needs, only those that are missing.
# Usage: tools/install-deps.sh build|test|bench|fuzz|package|web|windows
set -euo pipefail

build=(cmake ninja-build g++ libsdl2-dev libpng-dev libx11-dev)
test=("${build[@]}" libgtest-dev libgmock-dev xvfb xdotool tmux imagemagick x11-utils python3
  clang-format clang-tidy openbox wmctrl cloc)
bench=("${build[@]}" libbenchmark-dev bsdextrautils)
fuzz=("${build[@]}" clang libclang-rt-14-dev)
# dpkg-shlibdeps (dpkg-dev) finds the .deb's dependencies; the rest check the package.
package=("${build[@]}" dpkg-dev lintian desktop-file-utils appstream)
web=(cmake ninja-build python3 emscripten chromium)
# The Windows cross build: the POSIX-threads MinGW compiler gives std::thread;
# dpkg-dev unpacks the source packages SDL2, zlib and libpng are built from,
# googletest has the sources of GoogleTest; Wine runs the programs.
windows=(cmake ninja-build python3 dpkg-dev g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  googletest wine wine64)

case "${1:-build}" in
  build) wanted=("${build[@]}") ;;
  test) wanted=("${test[@]}") ;;
  bench) wanted=("${bench[@]}") ;;
  fuzz) wanted=("${fuzz[@]}") ;;
  package) wanted=("${package[@]}") ;;
  web) wanted=("${web[@]}") ;;
  windows) wanted=("${windows[@]}") ;;
  *) echo "usage: $0 build|test|bench|fuzz|package|web|windows" >&2; exit 2 ;;
esac

missing=()
for package in "${wanted[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' \
    || missing+=("$package")
done
# npm comes with some Node.js builds and as a package of its own with
# Debian's: the package is asked for only when there is no npm at all.
if [ "${1:-build}" = web ] && ! command -v npm >/dev/null; then
  missing+=(npm)
fi
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=()
[ "$(id -u)" -ne 0 ] && sudo=(sudo)
echo "installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
