#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test under Wine on a private X display.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
bash scripts/setup.sh
cmake --preset mingw >/dev/null
cmake --build --preset mingw
rm -rf build/artifacts && mkdir -p build/artifacts
xvfb-run -a -s "-screen 0 1920x1080x24" ctest --preset mingw "$@"
# The native Linux edition: its own preset and build folder, its tests natively (no Wine, no X).
cmake --preset linux >/dev/null
cmake --build --preset linux
ctest --preset linux "$@"
