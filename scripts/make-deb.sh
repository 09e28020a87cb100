#!/usr/bin/env bash
# Builds the Debian package: configures a build tree for /usr without the tests
# and benchmarks, builds it, lets CPack make the .deb (its Depends come from
# dpkg-shlibdeps) and checks it with lintian.
#
#   scripts/make-deb.sh [BUILD]      (default build-deb; the .deb lands there)
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-build-deb}
case $build in /*) ;; *) build=$here/$build ;; esac
jobs=${JOBS:-$(nproc 2>/dev/null || echo 2)}

launcher=()
if command -v ccache >/dev/null 2>&1; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_INSTALL_PREFIX=/usr -DCHRONVALE_SYSTEMD_USER_UNIT_DIR=lib/systemd/user \
  -DCHRONVALE_TESTS=OFF -DCHRONVALE_BENCH=OFF \
  "${launcher[@]}" >/dev/null
cmake --build "$build" -j "$jobs"
rm -f "$build"/chronvale_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$build"/chronvale_*.deb)
echo "make-deb: $deb ($(du -h "$deb" | cut -f1))"
dpkg-deb --field "$deb" Depends Recommends | sed 's/^/make-deb: /'
# Errors fail the build; warnings and notes are shown.
lintian --fail-on error --info "$deb"
echo "make-deb: lintian found no errors"
echo "make-deb: install it with: sudo apt install $deb"
