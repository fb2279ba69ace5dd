#!/usr/bin/env bash
# Builds everything and runs the program's main job: sensor readings become the digits that
# (simulated) displays receive: first through the program's own device code alone, then through
# the real program with the stand-in sensor server replaying a temperature curve.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
bash scripts/setup.sh
cmake --preset mingw >/dev/null
cmake --build --preset mingw
cmake --build --preset mingw --target kelvane_stage
bash scripts/display-demo.sh "$root/build"
echo
bash scripts/program-demo.sh "$root/build"
