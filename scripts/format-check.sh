#!/usr/bin/env bash
# Fails when a C or C++ source of ours differs from what clang-format makes of it (.clang-format),
# naming each file. Fix with: clang-format -i <file>.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
command -v clang-format >/dev/null || { echo "format-check: clang-format is missing (scripts/setup.sh installs it)" >&2; exit 1; }
mapfile -t files < <(git ls-files '*.c' '*.cpp' '*.h')
bad=$(clang-format --dry-run "${files[@]}" 2>&1 | grep -oE '^[^:]+:[0-9]+:[0-9]+: warning' | cut -d: -f1 | sort -u || true)
if [ -n "$bad" ]; then
  echo "format-check: not clang-formatted:" >&2
  echo "$bad" >&2
  exit 1
fi
echo "format-check: ${#files[@]} files clang-formatted"
