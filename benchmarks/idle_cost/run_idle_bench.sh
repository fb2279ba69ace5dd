#!/usr/bin/env bash
# The staged program's idle cost under Wine, side by side with the floor program (idle_floor.exe: one
# 65-byte report a second and nothing else), each in a Wine prefix of its own so that each has its own
# wineserver. The program runs hidden (-hide) with one simulated display; the stand-in sensor server,
# replaying a steady reading, runs in both prefixes (the program starts its own, the script the floor's),
# so that what the program's wineserver does beyond the floor's is the program's doing. After a warm-up both are sampled for SECONDS (default 60): wake-ups per
# second (voluntary and involuntary context switches of every thread, from /proc/PID/task/*/status),
# CPU time (/proc/PID/task/*/schedstat), resident memory (VmRSS, VmHWM), and the gaps between the
# reports each display received (from the simulator's logs).
# Usage: benchmarks/idle_cost/run_idle_bench.sh [SECONDS] [build-dir]   (WARMUP=s, default 10)
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
seconds=${1:-60}
build=$(cd "$root" && realpath -m "${2:-build}")
warmup=${WARMUP:-10}
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1920x1080x24" "$0" "$seconds" "$build"
fi
cmake --build "$build" --target kelvane_stage idle_floor >/dev/null

work=$(mktemp -d /tmp/idle-bench.XXXXXX)
program_prefix="$work/prefix-program"
floor_prefix="$work/prefix-floor"
program_pid=
floor_pid=
cleanup() {
  [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null
  [ -n "$floor_pid" ] && kill "$floor_pid" 2>/dev/null
  "$root/cmake/wine-prefix.sh" stop "$program_prefix"
  "$root/cmake/wine-prefix.sh" stop "$floor_prefix"
  rm -rf "$work"
}
trap cleanup EXIT
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
winpath() { local p="Z:$1"; echo "${p//\//\\}"; }

# One prefix made, then copied: making a prefix takes far longer than copying one.
"$root/cmake/wine-prefix.sh" start "$program_prefix" >/dev/null
WINEPREFIX="$program_prefix" wineserver -k && WINEPREFIX="$program_prefix" wineserver -w
cp -a "$program_prefix" "$floor_prefix"
"$root/cmake/wine-prefix.sh" start "$program_prefix" >/dev/null
"$root/cmake/wine-prefix.sh" start "$floor_prefix" >/dev/null

echo "cpu=45.6 gpu2name=Bench_GPU gpu2=52.5 ms=3600000" >"$work/replay.txt"
# Nothing listens on port 1: the start-up update checks fail at once.
(cd "$build/stage" && WINEPREFIX="$program_prefix" DISPLAYSIM="displays=1" \
  DISPLAYSIM_LOG="$(winpath "$work/program-displays.log")" THERMIVOX_REPLAY="$(winpath "$work/replay.txt")" \
  TK_STAGE_UPDATE_PORT=1 exec wine "Tarvik Kelvane.exe" -hide) >/dev/null 2>&1 &
program_pid=$!
(cd "$build/testbin" && WINEPREFIX="$floor_prefix" DISPLAYSIM="displays=1" \
  DISPLAYSIM_LOG="$(winpath "$work/floor-displays.log")" exec wine idle_floor.exe) >/dev/null 2>&1 &
floor_pid=$!
(cd "$build/stage/HardwareMonitor" && WINEPREFIX="$floor_prefix" THERMIVOX_REPLAY="$(winpath "$work/replay.txt")" \
  exec wine ThermivoxServer.exe) >/dev/null 2>&1 &
sleep "$warmup"

# The Unix process of a Windows program (or the wineserver) of one prefix.
find_pid() { # prefix name
  local p
  for p in /proc/[0-9]*; do
    { tr '\0' '\n' <"$p/cmdline" | head -n1 | grep -qiF -- "$2"; } 2>/dev/null || continue
    { tr '\0' '\n' <"$p/environ" | grep -qxF "WINEPREFIX=$1"; } 2>/dev/null || continue
    basename "$p"
    return 0
  done
  return 1
}
program=$(find_pid "$program_prefix" "Tarvik Kelvane.exe") || { echo "the program is not running" >&2; exit 1; }
floor=$(find_pid "$floor_prefix" "idle_floor.exe") || { echo "the floor is not running" >&2; exit 1; }
program_server=$(find_pid "$program_prefix" wineserver) || program_server=0
floor_server=$(find_pid "$floor_prefix" wineserver) || floor_server=0
program_sensors=$(find_pid "$program_prefix" "ThermivoxServer.exe") || program_sensors=0
floor_sensors=$(find_pid "$floor_prefix" "ThermivoxServer.exe") || floor_sensors=0

echo "over $seconds s after a $warmup s warm-up; one simulated display each; the program hidden"
python3 "$root/benchmarks/idle_cost/idle_sample.py" "$seconds" \
  "program=$program" "floor=$floor" "program's wineserver=$program_server" \
  "floor's wineserver=$floor_server" "program's sensor server=$program_sensors" \
  "floor's sensor server=$floor_sensors" \
  --logs "$work/program-displays.log" "$work/floor-displays.log"
