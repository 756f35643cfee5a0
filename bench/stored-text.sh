#!/usr/bin/env bash
# Deciphering one reading's eight texts (target: under 0.5 ms) and DES block
# throughput next to OpenSSL's (target: within 3x), as medians of repeated
# runs taken in turn so that machine noise falls on all of them alike.
#   bench/stored-text.sh [path/to/stored_text_bench]
set -euo pipefail
bench=${1:-$(cd "$(dirname "$0")/.." && pwd)/build/bench/stored_text_bench}
"$bench" --benchmark_repetitions=15 --benchmark_enable_random_interleaving=true \
         --benchmark_report_aggregates_only=true --benchmark_min_time=0.2 2>/dev/null |
  grep -E '^(Benchmark|-|BM_.*_median)'
