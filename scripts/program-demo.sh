#!/usr/bin/env bash
# Runs the real program from the staged program folder (build/stage: the program, Tessel.dll, the
# display simulator as hidapi.dll, the skin and the stand-in sensor server) under Wine. The
# sensor server replays a temperature curve; two simulated displays receive the program's reports,
# and this script prints, second by second, what each display shows. Half-way a user clicks the
# unit picture (Fahrenheit), later the LED picture (digits off). Without a display it runs on
# Xvfb. Usage: program-demo.sh [build-dir] (default: build). Takes about 40 seconds.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1920x1080x24" "$0" "$build"
fi
stage="$build/stage"
export WINEPREFIX="$build/wineprefix"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
winpath() { local p="Z:$1"; echo "${p//\//\\}"; }

mkdir -p "$build/artifacts"
work=$(mktemp -d)
log="$build/artifacts/program-demo-displays.log"
curve="$work/curve.txt"
rm -f "$log"

# The curve: a CPU warming up from 35 to 80 degrees and cooling down again, one step a second,
# with one GPU (second slot) a little warmer.
{
  echo "# cpu and gpu temperatures, one step a second (see tools/sensorserver/README.md)"
  for t in 35 38.5 42 45.5 49 52.5 56 59.5 63 66.5 70 73.5 77 80 77 73.5 70 66.5 63 59.5 56 52.5 49 45.5 42 38.5; do
    echo "cpu=$t gpu2name=Demo_GPU gpu2=$(awk "BEGIN{print $t + 6.4}") ms=1000"
  done
} > "$curve"

export DISPLAYSIM="displays=2; version=0x0103"
export DISPLAYSIM_LOG=$(winpath "$log")
export THERMIVOX_REPLAY=$(winpath "$curve")

"$root/cmake/wine-prefix.sh" start "$WINEPREFIX"
# The framework draws text in Arial; Wine serves the host's Open Sans under that name.
wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v Arial /t REG_SZ /d "Open Sans" /f >/dev/null 2>&1
wine reg delete 'HKCU\Software\Tarvik Kelvane' /f >/dev/null 2>&1 || true
program_pid=
cleanup() {
  [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null || true
  "$root/cmake/wine-prefix.sh" stop "$WINEPREFIX"
  rm -rf "$work"
}
trap cleanup EXIT

echo "program: $stage/Tarvik Kelvane.exe (2 simulated displays, sensor server replaying $(grep -c '^cpu' "$curve") steps)"
(cd "$stage" && wine "Tarvik Kelvane.exe" >/dev/null 2>&1) &
program_pid=$!

window=
for _ in $(seq 1 100); do
  window=$(xdotool search --onlyvisible --name '^KELVANE$' 2>/dev/null | tail -1 || true)
  [ -n "$window" ] && break
  sleep 0.2
done
[ -n "$window" ] || { echo "the program's window did not appear" >&2; exit 1; }

click() { # x y what
  echo "user:    clicks the $3"
  local w
  w=$(xdotool search --onlyvisible --name '^KELVANE$' 2>/dev/null | tail -1 || true)
  xdotool mousemove --window "${w:-$window}" "$1" "$2" click 1
}

# One line per report tick: what each display shows (the digits of bytes 3-5, or blank).
shown=0
show_new_reports() {
  [ -f "$log" ] || return 0
  local lines
  lines=$(grep ' set ' "$log" | grep ' bytes 07 ff ff' || true)
  local total
  total=$(printf '%s\n' "$lines" | grep -c . || true)
  if [ "$total" -gt "$shown" ]; then
    printf '%s\n' "$lines" | tail -n +"$((shown + 1))" |
      sed -E 's/^[^ ]+ ([^ ]+) .* display ([0-9]+) .* bytes 07 ff ff ?([0-9a-f]{2})? ?([0-9a-f]{2})? ?([0-9a-f]{2})?.*/\1 \2 \3 \4 \5/' |
      while read -r time display h t o; do
        digits="$((16#${h:-00})) $((16#${t:-00})) $((16#${o:-00}))"
        [ "$digits" = "0 0 0" ] && digits="0 0 0   (blank)"
        echo "$time  display $display shows $digits"
      done
    shown=$total
  fi
}

for second in $(seq 1 34); do
  sleep 1
  show_new_reports
  case $second in
    12) click 250 170 "unit picture (Celsius <-> Fahrenheit)" ;;
    22) click 60 27 "LED picture (digits off)" ;;
    27) click 60 27 "LED picture (digits on)" ;;
    30) click 420 26 "settings button"
        sleep 1
        import -window root "$build/artifacts/program-demo-settings.png" 2>/dev/null || true ;;
  esac
  if [ $second -eq 10 ]; then
    import -window root "$build/artifacts/program-demo-main.png" 2>/dev/null || true
  fi
done
echo "settings: $(wine reg query 'HKCU\Software\Tarvik Kelvane' 2>/dev/null | grep REG_SZ | tr -s ' ' | tr '\n' ';' | tr -d '\r')"
echo "display log: $log"
echo "screenshots: $build/artifacts/program-demo-main.png, $build/artifacts/program-demo-settings.png"
