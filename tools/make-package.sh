#!/usr/bin/env bash
# Builds the Debian package velmora_<version>_amd64.deb into build-package/
# (a tree of its own, built with Debian's hardening flags and without tests),
# then lets lintian look at it when it is installed.
#
#   tools/make-package.sh [CMAKE-OPTIONS...]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build="$top/build-package"

export DEB_BUILD_MAINT_OPTIONS=hardening=+all
flags() { dpkg-buildflags --get "$1"; }
launcher=()
if command -v ccache >/dev/null; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
      -DVELMORA_TESTS=OFF -DVELMORA_BENCH=OFF "${launcher[@]}" \
      -DCMAKE_CXX_FLAGS="$(flags CPPFLAGS) $(flags CXXFLAGS)" \
      -DCMAKE_EXE_LINKER_FLAGS="$(flags LDFLAGS)" "$@"
cmake --build "$build" -j"$(nproc)" --target package

deb=$(ls "$build"/velmora_*_amd64.deb)
echo "$deb"
if command -v lintian >/dev/null; then
  lintian --info "$deb"
fi
