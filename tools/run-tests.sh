#!/usr/bin/env bash
# Builds and runs every test: the release build with the window (its browser
# tests under a virtual display), then everything without Qt a second time
# under AddressSanitizer and UndefinedBehaviorSanitizer, fuzzers included.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc)

"$top/tools/build.sh"

. "$top/tools/virtual-display.sh"
trap stop_virtual_display EXIT
start_virtual_display 90
# The embedded browser runs as root here: no sandbox, no GPU.
export QTWEBENGINE_DISABLE_SANDBOX=1
export QTWEBENGINE_CHROMIUM_FLAGS="--no-sandbox --disable-gpu"

(cd "$top/build" && ctest --output-on-failure -j"$jobs")

cmake -S "$top" -B "$top/build-sanitize" -DCMAKE_BUILD_TYPE=Debug \
      -DCMAKE_CXX_COMPILER=clang++ -DVELMORA_WITH_QT=OFF -DVELMORA_BENCH=OFF \
      -DVELMORA_SANITIZE=ON -DVELMORA_FUZZ=ON
cmake --build "$top/build-sanitize" -j"$jobs"
export ASAN_OPTIONS=halt_on_error=1:abort_on_error=1:detect_leaks=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
(cd "$top/build-sanitize" && ctest --output-on-failure -j"$jobs")
