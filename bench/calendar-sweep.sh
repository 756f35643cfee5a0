#!/usr/bin/env bash
# Times the full almanac sweep of velmora-cli (1900-01-01 .. 2100-12-31,
# 73,414 lines) and prints the median of repeated runs.
#   bench/calendar-sweep.sh [path/to/velmora-cli]
set -euo pipefail
cli=${1:-$(cd "$(dirname "$0")/.." && pwd)/build/bin/velmora-cli}
json=$(mktemp)
trap 'rm -f "$json"' EXIT
hyperfine --warmup 3 --runs 30 --export-json "$json" --style basic \
  "$cli calendar 1900-01-01 2100-12-31 > /dev/null"
median=$(grep -o '"median": *[0-9.e-]*' "$json" | head -1 | sed 's/.*: *//')
awk -v s="$median" 'BEGIN { printf "median of 30 runs: %.1f ms (target: under 100 ms)\n", s * 1000 }'
