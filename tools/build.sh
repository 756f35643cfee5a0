#!/usr/bin/env bash
# Configures and builds the program into build/ (release, with the window).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cmake -S "$top" -B "$top/build" -DCMAKE_BUILD_TYPE=Release "$@"
cmake --build "$top/build" -j"$(nproc)"
