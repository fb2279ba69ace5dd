#!/usr/bin/env bash
# wine-prefix.sh start|stop PREFIX [LANES]
# start: creates the private Wine prefix (once) and keeps one wineserver running for all tests,
# detached from ctest's output pipes so that each test ends as soon as its program does. With
# more than one lane, lane k (k >= 2) is a copy of that prefix in PREFIX-k with an X display of
# its own (PREFIX-k/.display) and its own wineserver.
# stop: ends the wineservers and the lanes' displays.
set -u
base="$2"
lanes="${3:-1}"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
# shellcheck source=cmake/wine-lanes.sh
. "$(dirname "${BASH_SOURCE[0]}")/wine-lanes.sh"

prepare_first_lane() {
  export WINEPREFIX="$base"
  mkdir -p "$WINEPREFIX"
  wineserver -p </dev/null >/dev/null 2>&1
  wineboot </dev/null >/dev/null 2>&1
  if [ ! -f "$WINEPREFIX/.win10" ]; then
    wine winecfg /v win10 </dev/null >/dev/null 2>&1 && touch "$WINEPREFIX/.win10"
  fi
  # No window manager runs on the test displays. Managed windows would make Wine wait about 2 s
  # for a window manager's answer whenever a shown window goes away; unmanaged, Wine handles
  # placement, focus and the system move loop itself.
  if [ ! -f "$WINEPREFIX/.unmanaged" ]; then
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f \
      </dev/null >/dev/null 2>&1 && touch "$WINEPREFIX/.unmanaged"
  fi
  # Windows ships Arial, Tessel's default face; Wine has none, so controls would draw no text.
  # The installed Open Sans stands in for it.
  if [ ! -f "$WINEPREFIX/.arial" ]; then
    wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v Arial /t REG_SZ /d 'Open Sans' /f \
      </dev/null >/dev/null 2>&1 && touch "$WINEPREFIX/.arial"
  fi
  local marker
  for marker in "${lane_markers[@]}"; do
    [ -f "$WINEPREFIX/$marker" ] || return 0
  done
  lane_stamp >"$WINEPREFIX/.lane-stamp"
}

# A display of its own for a lane: Xvfb picks a free number and says it when it is ready.
start_display() {
  local prefix="$1" number
  rm -f "$prefix/.display" "$prefix/.display-number"
  setsid Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp 3>"$prefix/.display-number" \
    </dev/null >/dev/null 2>&1 &
  echo $! >"$prefix/.xvfb-pid"
  for _ in $(seq 1 100); do
    number=$(head -n1 "$prefix/.display-number" 2>/dev/null)
    if [ -n "$number" ]; then
      echo ":$number" >"$prefix/.display"
      return 0
    fi
    sleep 0.1
  done
  echo "no X display for $prefix" >&2
  return 1
}

stop_lane() {
  local prefix
  prefix=$(lane_prefix "$base" "$1")
  [ -d "$prefix" ] || return 0
  WINEPREFIX="$prefix" wineserver -k </dev/null >/dev/null 2>&1
  if [ -f "$prefix/.xvfb-pid" ]; then
    kill "$(cat "$prefix/.xvfb-pid")" 2>/dev/null
    rm -f "$prefix/.xvfb-pid" "$prefix/.display" "$prefix/.display-number"
  fi
}

case "$1" in
  start)
    for lane in $(seq 2 "$lanes"); do stop_lane "$lane"; done
    prepare_first_lane
    # A lane copy is made again when lane 1 was prepared differently from when it was copied.
    stamp=$(cat "$base/.lane-stamp" 2>/dev/null)
    stale() { [ -z "$stamp" ] || [ "$(cat "$(lane_prefix "$base" "$1")/.lane-stamp" 2>/dev/null)" != "$stamp" ]; }
    fresh=""
    for lane in $(seq 2 "$lanes"); do
      stale "$lane" && fresh=yes
    done
    if [ -n "$fresh" ]; then
      # The registry reaches its files when the wineserver ends: end it before copying.
      WINEPREFIX="$base" wineserver -k </dev/null >/dev/null 2>&1
      WINEPREFIX="$base" wineserver -w </dev/null >/dev/null 2>&1
      for lane in $(seq 2 "$lanes"); do
        prefix=$(lane_prefix "$base" "$lane")
        if stale "$lane"; then
          rm -rf "$prefix" && cp -a "$base" "$prefix" || exit 1
        fi
      done
      WINEPREFIX="$base" wineserver -p </dev/null >/dev/null 2>&1
    fi
    for lane in $(seq 2 "$lanes"); do
      prefix=$(lane_prefix "$base" "$lane")
      start_display "$prefix" || exit 1
      # wineboot starts the prefix's services here, detached, not inside the first test.
      DISPLAY=$(cat "$prefix/.display") WINEPREFIX="$prefix" wineserver -p </dev/null >/dev/null 2>&1
      DISPLAY=$(cat "$prefix/.display") WINEPREFIX="$prefix" wineboot </dev/null >/dev/null 2>&1
    done
    exit 0 ;;
  stop)
    for lane in $(seq 1 "$lanes"); do stop_lane "$lane"; done
    exit 0 ;;
esac
exit 2
