#!/usr/bin/env bash
# Builds the Linux edition's Debian packages with Debian's own tools: dpkg-buildpackage runs
# debian/rules (debhelper) on a tree of links to the sources beside a copy of debian/, so neither
# the checkout nor its parent folder gets build files. The tests run against the package's own
# hardened build (DEB_BUILD_OPTIONS=nocheck skips them); lintian must find no error or warning.
# Usage: scripts/linux-package.sh [BUILD_FOLDER]    (default build-linux; packages in BUILD_FOLDER/package)
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$(mkdir -p "${1:-$root/build-linux}" && cd "${1:-$root/build-linux}" && pwd)
version=$(dpkg-parsechangelog -l "$root/debian/changelog" -S Version)
stage="$build/debian-build"
tree="$stage/kelvane-$version"

rm -rf "$stage"
mkdir -p "$tree"
for part in CMakeLists.txt cmake base app linux tests tools; do
  ln -s "$root/$part" "$tree/$part"
done
cp -r "$root/debian" "$tree/debian" # debhelper writes below debian/
(cd "$tree" && dpkg-buildpackage --build=binary --no-sign --jobs-try=auto)

mkdir -p "$build/package"
rm -f "$build/package"/kelvane*
cp "$stage"/kelvane*_"$version"_*.deb "$stage"/kelvane_"$version"_*.buildinfo "$stage"/kelvane_"$version"_*.changes \
  "$build/package/"
if command -v lintian >/dev/null; then
  lintian --fail-on error,warning "$build/package"/kelvane_"$version"_*.changes
else
  echo "linux-package: lintian is not installed (scripts/setup.sh installs it); packages not checked" >&2
fi
ls -1 "$build/package"
