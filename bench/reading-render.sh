#!/usr/bin/env bash
# Times velmora-cli's PDF and PNG of a reading, rendering helper included
# (Qt's offscreen platform when DISPLAY is unset), and prints their medians.
#   bench/reading-render.sh [path/to/build/bin]
set -euo pipefail
bin=${1:-$(cd "$(dirname "$0")/.." && pwd)/build/bin}
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
cd "$bin"
for format in pdf png; do
  hyperfine --warmup 1 --runs 5 --export-json "$out/$format.json" --style none \
    "./velmora-cli reading --name 张三 --sex 男 --gregorian 2009-9-21 --hour 7 --format $format --output $out/r.$format"
  median=$(grep -o '"median": *[0-9.e-]*' "$out/$format.json" | head -1 | sed 's/.*: *//')
  awk -v f="$format" -v s="$median" 'BEGIN { printf "%s: median of 5 runs %.2f s (target: under 5 s)\n", f, s }'
done
