#!/usr/bin/env bash
# Builds tilewalk for 64-bit Windows on Debian and makes
# build/windows/tilewalk-VERSION-win64.zip: the three programs, each one
# static .exe, with the datapack laid out as each of them reads it.
#
# SDL2, zlib and libpng are built for Windows from Debian's own source
# packages, once: they are kept under ~/.cache/tilewalk/ (XDG_CACHE_HOME),
# keyed by their versions and the compiler's, so later runs skip them.
#
# Usage: ./windows.sh [--tests]
#   --tests        also builds the test programs (ctest --test-dir build/windows
#                  -L 'unit|headless|windows' runs them and the zip under Wine)
#   --deps-only    builds the libraries only
set -euo pipefail
cd "$(dirname "$0")"
root=$PWD

tools/install-deps.sh windows

triple=x86_64-w64-mingw32
jobs=$(nproc)
cc_version=$($triple-gcc-posix -dumpfullversion)
candidate() { apt-cache policy "$1" | awk '/Candidate:/ { print $2 }'; }
sdl_version=$(candidate libsdl2-dev)
zlib_version=$(candidate zlib1g-dev)
png_version=$(candidate libpng-dev)
key="sdl2-${sdl_version}_zlib-${zlib_version}_png-${png_version}_gcc-${cc_version}"
key=${key//[^A-Za-z0-9._+-]/_}
cache=${XDG_CACHE_HOME:-$HOME/.cache}/tilewalk/windows-$key
prefix=$cache/prefix

# apt-get source needs deb-src entries. Rather than edit the system's apt
# sources (and race other apt users while they are changed), the source
# indexes are fetched into a private apt state of their own, made from the
# system's deb822 sources with Types: deb-src. The system's files are never
# written, so they stay byte for byte as they were, whatever fails.
# Each package comes at the version apt would install for the host when the
# archive has it, else at the newest version that can be fetched (a mirror
# may lack the security archive's pool); prefix/VERSIONS says which.
fetch_sources() {
  local work=$1
  shift
  local apt=$work/apt
  mkdir -p "$apt/sources.list.d" "$apt/lists/partial"
  local file
  for file in /etc/apt/sources.list.d/*.sources; do
    [ -e "$file" ] || continue
    sed -E 's/^Types:.*/Types: deb-src/' "$file" >"$apt/sources.list.d/$(basename "$file")"
  done
  if [ -f /etc/apt/sources.list ]; then
    sed -nE 's/^deb[[:space:]]/deb-src /p' /etc/apt/sources.list >"$apt/sources.list"
  else
    : >"$apt/sources.list"
  fi
  local options=(-o "Dir::Etc::SourceList=$apt/sources.list"
    -o "Dir::Etc::SourceParts=$apt/sources.list.d"
    -o "Dir::State::Lists=$apt/lists" -o "Dir::Cache::pkgcache=" -o "Dir::Cache::srcpkgcache="
    -o APT::Sandbox::User=root)
  apt-get "${options[@]}" -qq update
  local wanted package version versions
  for wanted in "$@"; do
    package=${wanted%%=*}
    versions=$( (echo "${wanted#*=}"
      apt-cache "${options[@]}" showsrc "$package" | awk '/^Version:/ { print $2 }' | sort -rV) \
      | awk '!seen[$0]++')
    for version in $versions; do
      if (cd "$work" && apt-get "${options[@]}" -qq source "$package=$version" >/dev/null 2>&1); then
        echo "$package $version" >>"$work/VERSIONS"
        continue 2
      fi
    done
    echo "windows.sh: no source of $package could be fetched" >&2
    return 1
  done
}

build_libraries() {
  local work
  work=$(mktemp -d "${TMPDIR:-/tmp}/tilewalk-windows.XXXXXX")
  # shellcheck disable=SC2064  # the folder is known now
  trap "rm -rf '$work' '$prefix.partial'" EXIT
  echo "building SDL2, zlib and libpng for $triple from Debian's sources"
  fetch_sources "$work" "libsdl2=${sdl_version}" "zlib=${zlib_version}" \
    "libpng1.6=${png_version}"
  rm -rf "$prefix.partial"
  mkdir -p "$prefix.partial/lib" "$prefix.partial/include"
  local toolchain=$root/cmake/mingw-w64-x86_64.cmake

  # zlib's library is its fifteen C files (Debian's source leaves out the
  # Windows makefiles); the static libz.a is what FindZLIB looks for.
  local zlib_dir
  zlib_dir=$(find "$work" -maxdepth 1 -type d -name 'zlib-*')
  (cd "$zlib_dir" && for c in adler32 compress crc32 deflate gzclose gzlib gzread gzwrite \
    infback inffast inflate inftrees trees uncompr zutil; do
    "$triple-gcc-posix" -O2 -c "$c.c" -o "$c.o"
  done && "$triple-ar" rcs libz.a ./*.o)
  cp "$zlib_dir"/{zlib.h,zconf.h} "$prefix.partial/include/"
  cp "$zlib_dir/libz.a" "$prefix.partial/lib/"

  local png_dir
  png_dir=$(find "$work" -maxdepth 1 -type d -name 'libpng1.6-*')
  cmake -S "$png_dir" -B "$work/png-build" -G Ninja --toolchain "$toolchain" \
    -DTILEWALK_WINDOWS_PREFIX="$prefix.partial" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$prefix.partial" -DPNG_SHARED=OFF -DPNG_STATIC=ON \
    -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF -Wno-dev >/dev/null
  cmake --build "$work/png-build" >/dev/null
  cmake --install "$work/png-build" >/dev/null

  local sdl_dir
  sdl_dir=$(find "$work" -maxdepth 1 -type d -name 'libsdl2-*')
  cmake -S "$sdl_dir" -B "$work/sdl-build" -G Ninja --toolchain "$toolchain" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix.partial" \
    -DSDL_SHARED=OFF -DSDL_STATIC=ON -DSDL_TEST=OFF >/dev/null
  cmake --build "$work/sdl-build" >/dev/null
  cmake --install "$work/sdl-build" >/dev/null
  cp "$work/VERSIONS" "$prefix.partial/"
  mv "$prefix.partial" "$prefix"
  echo "built:" && cat "$prefix/VERSIONS"
}

[ -d "$prefix" ] || build_libraries

# GoogleTest for the test programs, from Debian's googletest package (its
# sources in /usr/src), cached the same way.
gtest_version=$(dpkg-query -W -f='${Version}' googletest)
gtest_prefix=${cache%/*}/windows-gtest-${gtest_version//[^A-Za-z0-9._+-]/_}_gcc-$cc_version/prefix
if [ ! -d "$gtest_prefix" ]; then
  rm -rf "$gtest_prefix.partial" "$gtest_prefix.build"
  cmake -S /usr/src/googletest -B "$gtest_prefix.build" -G Ninja \
    --toolchain "$root/cmake/mingw-w64-x86_64.cmake" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$gtest_prefix.partial" -DBUILD_GMOCK=OFF >/dev/null
  cmake --build "$gtest_prefix.build" >/dev/null
  cmake --install "$gtest_prefix.build" >/dev/null
  rm -rf "$gtest_prefix.build"
  mv "$gtest_prefix.partial" "$gtest_prefix"
fi
[ "${1:-}" = --deps-only ] && exit 0

tests=OFF
targets=(windows_zip)
if [ "${1:-}" = --tests ]; then
  tests=ON
  targets+=(unit_tests headless_tests)
fi
cmake --preset windows -DTILEWALK_WINDOWS_PREFIX="$prefix;$gtest_prefix" -DTILEWALK_TESTS=$tests \
  >/dev/null
cmake --build --preset windows --target "${targets[@]}"
ls -l build/windows/tilewalk-*-win64.zip
