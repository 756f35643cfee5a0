#!/usr/bin/env bash
# Times the window under a virtual display (one of its own unless DISPLAY is
# set): start to first page shown, and start button to page shown, as medians
# of repeated runs of build/bench/window_startup_bench.
#   bench/window-startup.sh [build-folder] [runs]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$top/build}" && pwd)
runs=${2:-7}
bench=$build/bench/window_startup_bench
[ -x "$bench" ] || { echo "build $bench first (tools/build.sh)" >&2; exit 1; }

scratch=$(mktemp -d)
. "$top/tools/virtual-display.sh"
trap 'stop_virtual_display; rm -rf "$scratch"' EXIT
start_virtual_display 130

# A working folder with the database, and a runtime folder of its own so that
# a running copy of the program is not the one that answers.
cp "$build/bin/Orsk.dll" "$scratch/"
mkdir -m 700 "$scratch/runtime"
export XDG_RUNTIME_DIR=$scratch/runtime
for _ in $(seq "$runs"); do
  (cd "$scratch" && VELMORA_BENCH_STARTED_NS=$(date +%s%N) "$bench" 2>/dev/null) >> "$scratch/figures"
done

summary() {  # name, label, target in ms
  grep "^$1 " "$scratch/figures" | awk '{ print $2 }' | sort -n | awk -v label="$2" -v target="$3" '
    { v[NR] = $1 }
    END {
      if (NR == 0) { printf "%s: no figures\n", label; exit 1 }
      m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
      printf "%-32s median %7.1f ms  (min %.1f, max %.1f, %d samples; target under %d ms)\n",
             label ":", m, v[1], v[NR], NR, target
    }'
}
summary startup_ms "start to first page shown" 1500
summary reading_ms "start button to page shown" 200
