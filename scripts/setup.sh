#!/usr/bin/env bash
# Installs everything the build and the tests need on a fresh Debian 12 machine.
# Safe to run again: packages already present and sources already unpacked are left alone.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
deps="$root/.deps"

packages=(
  cmake ninja-build g++-mingw-w64-x86-64-posix libz-mingw-w64-dev
  wine wine64 xvfb xauth xdotool x11-utils imagemagick googletest dpkg-dev
  librsvg2-bin icoutils fonts-open-sans python3 nsis openssl
  g++ pkg-config libhidapi-dev libudev-dev libsystemd-dev libgtest-dev debootstrap clang-format
  debhelper lintian devscripts bash-completion
  unzip curl # the update benchmark compares with them
)

sudo_if_needed() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

# Debian source packages for hidapi, minizip and libsodium need a deb-src entry for the same archive.
sources=/etc/apt/sources.list.d/debian.sources
added_src=0
if ! grep -rqs '^Types:.*deb-src\|^deb-src' /etc/apt/sources.list /etc/apt/sources.list.d/; then
  if [ -f "$sources" ]; then
    sudo_if_needed sed -i 's/^Types: deb$/Types: deb deb-src/' "$sources"
  else
    grep '^deb ' /etc/apt/sources.list | sed 's/^deb /deb-src /' | sudo_if_needed tee -a /etc/apt/sources.list >/dev/null
  fi
  added_src=1
fi

need_sources=0
[ -f "$deps/hidapi/CMakeLists.txt" ] || need_sources=1
[ -f "$deps/minizip/unzip.c" ] || need_sources=1
[ -f "$deps/libsodium/src/libsodium/sodium/core.c" ] || need_sources=1

if [ ${#missing[@]} -gt 0 ] || [ $added_src -eq 1 ] || [ $need_sources -eq 1 ]; then
  sudo_if_needed apt-get update -qq
fi
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  sudo_if_needed env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

if [ $need_sources -eq 1 ]; then
  mkdir -p "$deps/download"
  (
    cd "$deps/download"
    apt-get source --download-only -qq hidapi minizip libsodium 2>&1 | grep -v -i 'unsandboxed' || true
    # Only what is missing is unpacked again: .deps may be shared by several checkouts.
    unpack() { # name marker
      [ -f "$deps/$1/$2" ] && return 0
      rm -rf "$deps/$1"
      dpkg-source -q -x "$1"_*.dsc "$deps/$1" 2>&1 | grep -v gpgv || true
    }
    unpack hidapi CMakeLists.txt
    unpack minizip unzip.c
    unpack libsodium src/libsodium/sodium/core.c
  )
fi
[ -f "$deps/hidapi/CMakeLists.txt" ] && [ -f "$deps/minizip/unzip.c" ] &&
  [ -f "$deps/libsodium/src/libsodium/sodium/core.c" ] ||
  { echo "setup: hidapi/minizip/libsodium sources missing" >&2; exit 1; }
echo "setup: ready"
