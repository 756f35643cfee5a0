#!/usr/bin/env bash
# Tries velmora-cli's outputs, its rendering helper and its input checks the
# hostile ways they were found to fail, and counts the outcomes: a crash (a
# signal), a hang (over 20 s), a wrong success (status 0 where the job must
# fail, or damage done), a clear error (status 1 or 2 with one message), or
# right (the job done as it should be). Usage:
#   tools/output-attacks.sh [path/to/velmora-cli [path/to/database]]
set -uo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
db=$(realpath "${2:-$top/build/tests/app/sample-reading.db}")
work=$(mktemp -d)
# A copy runs, so that a version that writes over itself spoils only the copy.
cli=$work/velmora-cli
cp "$(realpath "${1:-$top/build/bin/velmora-cli}")" "$work/original"
cp "$work/original" "$cli"
# Every helper notes its pid and its child's, so what a hung run leaves is ended by pid.
trap 'while read -r pid; do kill -KILL "$pid" 2>/dev/null; done <"$work/pids"; rm -rf "$work"' EXIT
: >"$work/pids"
cd "$work" || exit 1
birth=(reading --name 张三 --sex 男 --gregorian 1990-5-17 --hour 8 --database "$db")
declare -A count=([crash]=0 [hang]=0 [wrong-success]=0 [clear-error]=0 [right]=0)

# run LABEL EXPECT(fail|ok) CHECK-COMMAND -- ARGS...: CHECK-COMMAND must succeed for the
# outcome to count as right or a clear error (it looks for damage).
run() {
  local label=$1 expect=$2 check=$3; shift 4
  cmp -s "$work/original" "$cli" || cp "$work/original" "$cli"
  timeout -s KILL 20 "$@" >out.txt 2>err.txt
  local status=$? outcome
  if ((status == 137)); then outcome=hang
  elif ((status > 128)); then outcome=crash
  elif ! eval "$check"; then outcome=wrong-success
  elif [[ $expect == ok ]]; then ((status == 0)) && outcome=right || outcome=clear-error
  elif ((status == 0)); then outcome=wrong-success
  elif [[ $(wc -l <err.txt) -ge 1 ]] && ! LC_ALL=C grep -qaP '[\x00-\x08\x0b-\x1f\x7f]|\xc2[\x80-\x9f]' err.txt; then outcome=clear-error
  else outcome=wrong-success
  fi
  count[$outcome]=$((count[$outcome] + 1))
  printf '%-48s %-14s %s\n' "$label" "$outcome" "$(head -c 150 err.txt | tr '\n' ' ')"
}

fresh() { rm -rf "$work/d" && mkdir "$work/d"; }
helper() {
  printf '#!/bin/sh\necho $$ >>%s/pids\nsleep 300 & echo $! >>%s/pids; echo $! >%s/child\n%s\n' \
    "$work" "$work" "$work" "$1" >"$work/helper" && chmod +x "$work/helper"
}
# The helper's child is gone (a zombie nobody reaps counts as gone).
child_gone() { local pid; pid=$(cat "$work/child"); sleep 0.3; [[ ! -e /proc/$pid ]] || grep -q ') Z' "/proc/$pid/stat"; }

fresh; echo secret >d/victim; ln -s victim d/bg.gif
run "html: link planted as the picture" fail '[[ $(cat d/victim) == secret ]]' -- "$cli" "${birth[@]}" --format html --output d/page.html
fresh; ln -s made.json d/link.json
run "json: dangling link" ok '[[ -L d/link.json && -s d/made.json ]]' -- "$cli" "${birth[@]}" --format json --output d/link.json
fresh; echo old >d/a; ln d/a d/b
run "text: file with two hard links" fail '[[ $(cat d/b) == old ]]' -- "$cli" "${birth[@]}" --output d/a
run "text: onto the running program" fail 'cmp -s "$cli" "$work/original"' -- "$cli" "${birth[@]}" --output "$cli"
run "text: onto /proc/self/exe" fail 'cmp -s "$cli" "$work/original"' -- "$cli" "${birth[@]}" --output /proc/self/exe
fresh
run "text: a 255-byte name" ok '[[ -s d/$(printf "n%.0s" {1..255}) ]]' -- "$cli" "${birth[@]}" --output "d/$(printf 'n%.0s' {1..255})"
fresh; mkfifo d/fifo
run "text: a pipe nobody reads" fail true -- "$cli" "${birth[@]}" --output d/fifo
if ((EUID == 0)); then
  fresh; echo old >d/owned; chown 4321:4322 d/owned
  run "text: replacing another user's file" ok '[[ $(stat -c %u:%g d/owned) == 4321:4322 ]]' -- "$cli" "${birth[@]}" --output d/owned
fi
for case in "sleeps|wait" "stops itself|kill -STOP \$\$" "writes text|echo garbage >\"\$3\"" \
            "writes a cut PDF|printf '%%PDF-1.4\\\\n1 0 obj' >\"\$3\""; do
  fresh; mkdir d/tmp; helper "${case#*|}"
  run "pdf: helper ${case%%|*}" fail '[[ -z $(ls -A d/tmp) ]] && child_gone' -- env VELMORA_RENDER="$work/helper" VELMORA_RENDER_TIMEOUT=2 TMPDIR="$work/d/tmp" "$cli" "${birth[@]}" --format pdf --output d/out.pdf
done
fresh; mkdir d/tmp; helper "wait"
cmp -s "$work/original" "$cli" || cp "$work/original" "$cli"
env VELMORA_RENDER="$work/helper" TMPDIR="$work/d/tmp" "$cli" "${birth[@]}" --format pdf --output d/out.pdf \
  >out.txt 2>err.txt &
pid=$!
sleep 1.5
kill -TERM "$pid"
status=timeout
for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || { wait "$pid"; status=$?; break; }; sleep 0.1; done
if [[ $status == timeout ]]; then outcome=hang
elif [[ -z $(ls -A d/tmp) ]] && child_gone; then outcome=clear-error
else outcome=wrong-success; fi
count[$outcome]=$((count[$outcome] + 1))
printf '%-48s %-14s %s\n' "pdf: TERM while the helper runs" "$outcome" "status $status, left: $(ls d/tmp | head -3 | tr '\n' ' ')"
run "name with a C1 control" fail true -- "$cli" reading --name $'张\xc2\x9b三' --sex 男 --gregorian 1990-5-17 --hour 8 --database "$db"
run "place with a C1 control" fail true -- "$cli" "${birth[@]}" --place $'成\xc2\x9b都'
run "places TEXT with a C1 control" fail true -- "$cli" places $'成\xc2\x85'
run "--longitude +-100" fail true -- "$cli" "${birth[@]}" --longitude +-100
run "--latitude +-30" fail true -- "$cli" "${birth[@]}" --longitude 100 --latitude +-30

echo
for outcome in crash hang wrong-success clear-error right; do printf '%s=%s ' "$outcome" "${count[$outcome]}"; done
echo
