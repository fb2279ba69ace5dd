#!/usr/bin/env bash
# Download throughput against curl and extraction time against Info-ZIP unzip, same inputs. The
# extraction is the update's own: staged and unpacked from the staging file's handle (update_bench).
# Usage: benchmarks/update/run_update_bench.sh [build-dir] [all|download|extract]   (default: build all)
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build=$(cd "$root" && realpath -m "${1:-build}")
steps=${2:-all}
runs=3

for tool in unzip curl; do
  command -v $tool >/dev/null || { echo "$tool is missing: run scripts/setup.sh" >&2; exit 1; }
done
cmake --build "$build" --target update_bench >/dev/null

work=$(mktemp -d /tmp/update-bench.XXXXXX)
server="$work/server"
prefix="$work/wineprefix"
trap 'python3 "$root/tests/app/update/update_test_server.py" stop "$server"; WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wineboot -i >/dev/null 2>&1 || true

# About 100 MB of archive: half incompressible, half text-like, in 4 MiB files.
python3 - "$server/bench.zip" <<'PY'
import os, random, sys, zipfile
os.makedirs(os.path.dirname(sys.argv[1]), exist_ok=True)
rng = random.Random(7)
words = [bytes(rng.choice(b"abcdefghijklmnopqrstuvwxyz") for _ in range(rng.randint(2, 9))) for _ in range(5000)]
with zipfile.ZipFile(sys.argv[1], "w", zipfile.ZIP_DEFLATED, compresslevel=6) as z:
    for i in range(20):
        z.writestr("data/random%02d.bin" % i, rng.randbytes(4 << 20))
        text = bytearray()
        while len(text) < (4 << 20):
            text += b" ".join(rng.choice(words) for _ in range(12)) + b"\n"
        z.writestr("text/text%02d.txt" % i, bytes(text[: 4 << 20]))
PY
size=$(stat -c %s "$server/bench.zip")
python3 "$root/tests/app/update/update_test_server.py" start "$server"
url="$(cat "$server/server.txt")/bench.zip"
win() { echo "Z:${1//\//\\}"; }

median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }

if [ "$steps" != extract ]; then
  ours_dl=$(wine "$build/testbin/update_bench.exe" download "$url" "$(win "$work/ours.zip")" $runs | awk '{print $2}' | median)
  cmp -s "$server/bench.zip" "$work/ours.zip" || { echo "download differs" >&2; exit 1; }
  curl_dl=$(for i in $(seq $runs); do
    s=$(date +%s%N); curl -s -o "$work/curl.zip" "$url"; e=$(date +%s%N); echo $(( (e - s) / 1000000 ))
  done | median)
fi

if [ "$steps" != download ]; then
  # Each run stages and unpacks afresh; the last run's folder is left for the comparison. The data
  # folder (the program's is %ProgramData%) lies on drive C:, since the staging refuses links on its
  # path and Wine's Z: drive is one.
  mkdir -p "$prefix/drive_c/bench-data"
  ours_x=$(wine "$build/testbin/update_bench.exe" extract "$(win "$server/bench.zip")" 'C:\bench-data' $runs |
    awk '{print $2}' | median)
  staged=$(find "$prefix/drive_c/bench-data/Tarvik Kelvane/Updates" -mindepth 1 -maxdepth 1 -type d)
  unzip_x=$(for i in $(seq $runs); do
    rm -rf "$work/unzip"; s=$(date +%s%N); unzip -q -o "$server/bench.zip" -d "$work/unzip"; e=$(date +%s%N)
    echo $(( (e - s) / 1000000 ))
  done | median)
  diff -r "$staged" "$work/unzip" >/dev/null || { echo "extracted trees differ" >&2; exit 1; }
fi

mb=$(awk -v s="$size" 'BEGIN {printf "%.1f", s / 1048576}')
[ "$steps" = extract ] || awk -v mb="$mb" -v o="$ours_dl" -v c="$curl_dl" 'BEGIN {
  printf "download %s MiB: CHttpTransfer %.0f ms (%.0f MiB/s), curl %.0f ms (%.0f MiB/s), time ratio %.2f\n",
    mb, o, mb / o * 1000, c, mb / c * 1000, o / c }'
[ "$steps" = download ] || awk -v mb="$mb" -v o="$ours_x" -v u="$unzip_x" 'BEGIN {
  printf "extract %s MiB archive: ExtractArchive (as the update) %.0f ms, unzip %.0f ms, time ratio %.2f\n",
    mb, o, u, o / u }'
