#!/usr/bin/env bash
# The signature check's cost beside the download it guards: for a 10 MB and a 100 MB archive, the
# median time to download it from the local test server and to digest and verify it, and the check's
# share of the download time.
# Usage: benchmarks/update/run_verify_bench.sh [build-dir]   (default: build)
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build=$(cd "$root" && realpath -m "${1:-build}")
runs=5

cmake --build "$build" --target update_bench >/dev/null

work=$(mktemp -d /tmp/verify-bench.XXXXXX)
server="$work/server"
prefix="$work/wineprefix"
trap 'python3 "$root/tests/app/update/update_test_server.py" stop "$server"; WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wineboot -i >/dev/null 2>&1 || true

mkdir -p "$server"
python3 "$root/tests/app/update/update_test_server.py" start "$server"
base=$(cat "$server/server.txt")
win() { echo "Z:${1//\//\\}"; }
median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
bench="$build/testbin/update_bench.exe"

for mb in 10 100; do
  # Incompressible, as an archive's bytes are.
  head -c $((mb * 1000 * 1000)) /dev/urandom >"$server/archive$mb.zip"
  download=$(wine "$bench" download "$base/archive$mb.zip" "$(win "$work/copy.zip")" $runs | awk '{print $2}' | median)
  cmp -s "$server/archive$mb.zip" "$work/copy.zip" || { echo "download differs" >&2; exit 1; }
  verify=$(wine "$bench" verify "$(win "$server/archive$mb.zip")" - $runs | awk '{print $2}' | median)
  awk -v mb="$mb" -v d="$download" -v v="$verify" 'BEGIN {
    printf "%d MB archive: download %.0f ms, verify %.0f ms, verify / download %.1f%%\n", mb, d, v, 100 * v / d }'
done
