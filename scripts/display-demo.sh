#!/usr/bin/env bash
# Shows readings becoming display digits: snapshotwriter stands in for the sensor server and writes
# readings into the shared-memory snapshot, while displaydemo runs the program's own scan and
# display tick against two simulated displays and prints, second by second, the digits each one
# received. Usage: display-demo.sh [build-dir] (default: build). Takes about 12 seconds.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
bin="$build/testbin"
run="$root/cmake/wine-run.sh"
export WINEPREFIX="$build/wineprefix"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

# Two displays with firmware 1.03; every feature report they receive is logged for a person to read.
mkdir -p "$build/artifacts"
log="$build/artifacts/displaysim-demo.log"
rm -f "$log"
export DISPLAYSIM="displays=2; version=0x0103"
export DISPLAYSIM_LOG="Z:${log//\//\\}"

"$root/cmake/wine-prefix.sh" start "$WINEPREFIX"
writer_pid=
cleanup() {
  [ -n "$writer_pid" ] && kill "$writer_pid" 2>/dev/null || true
  "$root/cmake/wine-prefix.sh" stop "$WINEPREFIX"
}
trap cleanup EXIT

write() { echo "sensor: $*"; "$run" "$bin/snapshotwriter.exe" "$@" >/dev/null; }

# The first writer keeps the block alive until the demo holds it too.
echo "sensor: --zero --cpu 45.6 --live 1 --gpu1 \"Demo GPU\" 61.4"
"$run" "$bin/snapshotwriter.exe" --zero --cpu 45.6 --live 1 --gpu1 "Demo GPU" 61.4 --hold 20 >/dev/null &
writer_pid=$!
sleep 1
"$run" "$bin/displaydemo.exe" --seconds 10 &
demo_pid=$!
sleep 2
write --cpu 52.9 --gpu1 "Demo GPU" 71.2
sleep 3
write --cpu 130 --gpu1 "Demo GPU" 95.5 --gpu2 "Second GPU" 80
wait "$demo_pid"
echo "display log: $log"
