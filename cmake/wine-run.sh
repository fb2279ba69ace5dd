#!/usr/bin/env bash
# Runs a Windows program under Wine with the build's private prefix.
# WINEPREFIX may be set by the caller; otherwise the prefix lives beside the build's binaries.
# A test that ctest gave a lane (CTEST_RESOURCE_GROUP_0_LANES="id:k,slots:1") runs in that lane's
# prefix and X display (cmake/wine-prefix.sh) and tells the staged program's update server its
# own port; a GUI test run without lanes waits for its turn on lane 1.
set -u
if [ -z "${WINEPREFIX:-}" ]; then
  dir=$(cd "$(dirname "$1")" && pwd)
  while [ "$dir" != "/" ] && [ ! -f "$dir/CMakeCache.txt" ]; do dir=$(dirname "$dir"); done
  export WINEPREFIX="$dir/wineprefix"
fi
# shellcheck source=cmake/wine-lanes.sh
. "$(dirname "${BASH_SOURCE[0]}")/wine-lanes.sh"
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
command=(wine "$@")
lane=${CTEST_RESOURCE_GROUP_0_LANES:-}
if [ -n "$lane" ]; then
  lane=${lane#id:}
  lane=${lane%%,*}
  if [ "$lane" != 1 ]; then
    WINEPREFIX=$(lane_prefix "$WINEPREFIX" "$lane")
    export WINEPREFIX
    DISPLAY=$(cat "$WINEPREFIX/.display") || exit 1
    export DISPLAY
  fi
  TK_STAGE_UPDATE_PORT=$(lane_port "$lane")
  export TK_STAGE_UPDATE_PORT
elif [ -n "${TK_GUI_TEST:-}" ]; then
  command=(flock "$WINEPREFIX/.gui-turn" wine "$@")
fi
# Wine processes started on the program's behalf (the desktop's explorer.exe above all) inherit
# its output and outlive it; on ctest's pipes they would hold every test open until they end.
# They get a file, which is followed onto our own output until the program ends.
log=$(mktemp "${TMPDIR:-/tmp}/wine-run.XXXXXX") || exit 1
"${command[@]}" >"$log" 2>&1 &
program=$!
trap 'kill "$program" 2>/dev/null' TERM INT
tail -n +1 -s 0.2 -f --pid="$program" "$log" &
follower=$!
wait "$program"
status=$?
wait "$follower"
rm -f "$log"
exit "$status"
