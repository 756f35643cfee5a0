#!/usr/bin/env bash
# Times a cold velmora-cli reading (process start, opening and keying the
# database, seven lookups, the page) and prints the median of repeated runs.
#   bench/reading-cold.sh [path/to/build/bin]
set -euo pipefail
bin=${1:-$(cd "$(dirname "$0")/.." && pwd)/build/bin}
json=$(mktemp)
trap 'rm -f "$json"' EXIT
cd "$bin"
hyperfine --warmup 3 --runs 30 --export-json "$json" --style basic \
  "./velmora-cli reading --name 张三 --sex 男 --gregorian 2009-9-21 --hour 7 --format html > /dev/null"
median=$(grep -o '"median": *[0-9.e-]*' "$json" | head -1 | sed 's/.*: *//')
awk -v s="$median" 'BEGIN { printf "median of 30 runs: %.1f ms (target: under 50 ms)\n", s * 1000 }'
