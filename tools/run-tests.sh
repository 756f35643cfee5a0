#!/usr/bin/env bash
# Builds and runs every test: the release build with the window (its browser
# tests under a virtual display), then everything without Qt a second time
# under AddressSanitizer and UndefinedBehaviorSanitizer, fuzzers included.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc)

"$top/tools/build.sh"

xvfb_pid=""
cleanup() { [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true; }
trap cleanup EXIT
if [ -z "${DISPLAY:-}" ]; then
  for n in $(seq 90 120); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    export DISPLAY=":$n"
    for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
    break
  done
fi
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
