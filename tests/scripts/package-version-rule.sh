#!/usr/bin/env bash
# scripts/package.sh writes and signs the four-part form only: every other version text is refused
# (exit 2) before anything is packaged.
script=$1
for version in 1.0 1.0.0.19.1 1.0.0.65536 01.0.0.20 1..0.20 " 1.0.0.20" "1.0.0.20 " 1.0.0.x +1.0.0.20; do
  TK_PACKAGE_DIR=/dev/null/unused bash "$script" --no-build "$version" 2>/dev/null
  status=$?
  if [ $status -ne 2 ]; then
    echo "package.sh took '$version' (exit $status)"
    exit 1
  fi
done
echo "every malformed version refused"
