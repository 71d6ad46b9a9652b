#!/usr/bin/env bash
# Installs what is missing, builds the release preset and makes
# build/release/tilewalk_VERSION_ARCH.deb, then checks what it ships: the
# desktop entry, the metainfo and the whole package (lintian; errors fail).
set -euo pipefail
cd "$(dirname "$0")"

tools/install-deps.sh package
# The package holds only the programs; benchmarks and tests stay out of it.
# Debian's hardening flags (fortified functions, stack protector, read-only
# relocations bound at start), as a Debian build of any package gets them.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cmake --preset release -DTILEWALK_BENCH=OFF -DTILEWALK_TESTS=OFF \
  -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
  -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" >/dev/null
cmake --build --preset release
rm -f build/release/tilewalk_*.deb
(cd build/release && cpack -G DEB)
deb=$(ls build/release/tilewalk_*.deb)

contents=$(mktemp -d)
trap 'rm -rf "$contents"' EXIT
dpkg-deb -x "$deb" "$contents"
desktop-file-validate "$contents"/usr/share/applications/*.desktop
appstreamcli validate --no-net "$contents"/usr/share/metainfo/*.metainfo.xml
lintian --fail-on error --info "$deb"
dpkg-deb -f "$deb" Package Version Architecture Depends
echo "made $deb"
