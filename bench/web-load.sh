#!/usr/bin/env bash
# Loads velmora-cli serve on the loopback with wrk: 50 connections for 10 s
# each, first the JSON reading, then the reading's page; prints requests a
# second, latency percentiles and errors of each run.
#   bench/web-load.sh [path/to/build/bin [path/to/Orsk.dll]]
# Targets: at least 1,000 JSON readings and 500 pages a second, p99 under
# 50 ms, no errors.
set -euo pipefail
bin=${1:-$(cd "$(dirname "$0")/.." && pwd)/build/bin}
database=${2:-$bin/Orsk.dll}
if ! command -v wrk > /dev/null; then
  if [ "$(id -u)" -eq 0 ]; then apt-get install -y wrk; else sudo apt-get install -y wrk; fi
fi
out=$(mktemp)
"$bin/velmora-cli" serve --listen 127.0.0.1:0 --database "$database" > "$out" &
server=$!
trap 'kill -TERM $server 2> /dev/null; wait $server 2> /dev/null; rm -f "$out"' EXIT
for _ in $(seq 50); do
  grep -q '^  http://' "$out" && break
  sleep 0.1
done
url=$(grep -o 'http://[^ ]*' "$out" | head -1)
# 张三, 男, 1983-02-15 20:00, exact moments and the full chart.
query='name=%E5%BC%A0%E4%B8%89&sex=%E7%94%B7&gregorian=1983-2-15&hour=20&precise=1&chart=1&as-of=2026-12-08'
for path in api/reading reading; do
  echo "== $path (50 connections, 2 threads, 10 s)"
  wrk --latency -t2 -c50 -d10s --timeout 2s "$url$path?$query" |
    grep -E 'Requests/sec|Latency|50%|99%|Non-2xx|Socket errors|requests in'
done
