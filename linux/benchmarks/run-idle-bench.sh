#!/usr/bin/env bash
# Idle cost of kelvaned beside the floor program, both against one simulated display, side by side
# for SECONDS (default 60): CPU time (from /proc/PID/schedstat, in ns), wake-ups per second
# (voluntary context switches) and resident memory (VmRSS, VmHWM).
# Usage: [HOTPLUG=auto|udev|poll] linux/benchmarks/run-idle-bench.sh [SECONDS]   (after cmake --build --preset linux)
# Without a udev daemon (containers), auto means poll: a display check every tick.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build="$root/build-linux"
seconds=${1:-60}
work=$(mktemp -d /tmp/kelvane-bench-XXXXXX)
daemon='' floor=''
trap 'kill $daemon $floor 2>/dev/null || true; rm -rf "$work"' EXIT

mkdir -p "$work/sys/class/hwmon/hwmon0"
echo k10temp >"$work/sys/class/hwmon/hwmon0/name"
echo Tctl >"$work/sys/class/hwmon/hwmon0/temp1_label"
echo 45600 >"$work/sys/class/hwmon/hwmon0/temp1_input"
mkdir -p "$work/dev"
# A runtime folder of the run's own, set or not in the caller's session: nothing here touches a
# real user daemon's folder, and nothing falls back to a shared one.
mkdir -m 0700 "$work/xdg-runtime"
export XDG_RUNTIME_DIR="$work/xdg-runtime"
export HIDRAWSIM="displays=1" HIDRAWSIM_DEVICES="$work/dev" LD_LIBRARY_PATH="$build/simlib"

"$build/bin/kelvaned" --config "$work/kelvane.conf" --runtime-dir "$work/run" --system-runtime-dir "$work/service" \
  --sysfs "$work/sys" --hotplug "${HOTPLUG:-auto}" 2>"$work/daemon.log" &
daemon=$!
"$build/bin/floor_reporter" &
floor=$!
sleep 3 # start-up (discovery, first scan, version read) is not idle cost

sample() { # pid -> "cpu_ns voluntary nonvoluntary"
  local cpu vol nonvol
  cpu=$(cut -d' ' -f1 "/proc/$1/schedstat")
  vol=$(awk '/^voluntary_ctxt_switches/ {print $2}' "/proc/$1/status")
  nonvol=$(awk '/^nonvoluntary_ctxt_switches/ {print $2}' "/proc/$1/status")
  echo "$cpu $vol $nonvol"
}
read -r d_cpu0 d_vol0 d_non0 <<<"$(sample $daemon)"
read -r f_cpu0 f_vol0 f_non0 <<<"$(sample $floor)"
sleep "$seconds"
read -r d_cpu1 d_vol1 d_non1 <<<"$(sample $daemon)"
read -r f_cpu1 f_vol1 f_non1 <<<"$(sample $floor)"

report() { # name pid cpu0 cpu1 vol0 vol1 non0 non1
  local rss hwm
  rss=$(awk '/^VmRSS/ {print $2}' "/proc/$2/status")
  hwm=$(awk '/^VmHWM/ {print $2}' "/proc/$2/status")
  awk -v n="$1" -v c=$(($4 - $3)) -v v=$(($6 - $5)) -v x=$(($8 - $7)) -v s="$seconds" -v r="$rss" -v h="$hwm" \
    'BEGIN { printf "%-15s cpu %8.3f ms (%6.1f us/s)  wake-ups %5.2f/s (+%d involuntary)  rss %5d kB  peak %5d kB\n",
             n, c / 1e6, c / 1e3 / s, v / s, x, r, h }'
}
echo "over ${seconds} s, one simulated display, $(grep -o 'hot-plug: .*' "$work/daemon.log" | head -1)"
report kelvaned $daemon "$d_cpu0" "$d_cpu1" "$d_vol0" "$d_vol1" "$d_non0" "$d_non1"
report floor_reporter $floor "$f_cpu0" "$f_cpu1" "$f_vol0" "$f_vol1" "$f_non0" "$f_non1"
awk -v d=$((d_cpu1 - d_cpu0)) -v f=$((f_cpu1 - f_cpu0)) 'BEGIN { printf "cpu ratio daemon/floor: %.2f\n", d / f }'
