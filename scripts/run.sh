#!/usr/bin/env bash
# Builds everything and runs the program's main job: sensor readings become the digits that
# (simulated) displays receive, through the program's own device code.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
bash scripts/setup.sh
cmake --preset mingw >/dev/null
cmake --build --preset mingw
bash scripts/display-demo.sh "$root/build"
