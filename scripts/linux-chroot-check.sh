#!/usr/bin/env bash
# Installs the Linux edition's .deb in a fresh Debian 12 chroot, runs the service's command as the
# unit would (systemd cannot be PID 1 here) with no display present, checks the status, the unit
# and the rule, then purges the package and checks that nothing is left. Needs root and Debian's
# mirror; not part of CI. Usage: scripts/linux-chroot-check.sh [path/to/kelvane.deb]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
deb=${1:-$(ls "$root"/build-linux/package/kelvane_*.deb | head -1)}
mirror=${DEBIAN_MIRROR:-http://deb.debian.org/debian}
cache=/var/tmp/kelvane-chroot-base/root # a debootstrap kept between runs; each run copies it
jail=$(mktemp -d /var/tmp/kelvane-chroot-XXXXXX)
failures=0

step() { printf '\n== %s\n' "$*"; }
check() { # description, command...
  local what=$1; shift
  if "$@"; then echo "ok:   $what"; else echo "FAIL: $what"; failures=$((failures + 1)); fi
}
in_jail() { chroot "$jail" "$@"; }
cleanup() {
  [ -n "${daemon:-}" ] && kill "$daemon" 2>/dev/null || true
  for m in dev/pts dev sys proc; do umount "$jail/$m" 2>/dev/null || true; done
  rm -rf "$jail"
}
trap cleanup EXIT

if [ ! -x "$cache/usr/bin/apt-get" ]; then
  step "debootstrap bookworm (once, kept in $cache)"
  mkdir -p "$cache"
  debootstrap --variant=minbase --include=systemd,passwd bookworm "$cache" "$mirror"
fi
step "fresh chroot $jail"
cp -a "$cache/." "$jail/"
mount -t proc proc "$jail/proc"
mount --bind /sys "$jail/sys" && mount -o remount,bind,ro "$jail/sys"
mount --bind /dev "$jail/dev"
mount --bind /dev/pts "$jail/dev/pts"
cp /etc/resolv.conf "$jail/etc/resolv.conf"
cp "$deb" "$jail/tmp/kelvane.deb"

step "install $(basename "$deb")"
in_jail apt-get update -qq
check "package installs with its dependencies" in_jail env DEBIAN_FRONTEND=noninteractive \
  apt-get install -y -qq /tmp/kelvane.deb
for f in /usr/bin/kelvaned /usr/bin/kelvanectl /lib/systemd/system/kelvaned.service \
  /lib/udev/rules.d/70-kelvane.rules /etc/kelvane.conf /usr/share/man/man1/kelvanectl.1; do
  check "installed $f" test -e "$jail$f"
done
check "service user exists" in_jail getent passwd kelvane
check "service enabled" in_jail systemctl is-enabled kelvaned.service
check "kelvanectl --help" in_jail kelvanectl --help
if in_jail sh -c 'command -v systemd-analyze' >/dev/null; then
  step "systemd-analyze verify"
  # --man=no: the minimal chroot has no man; the page itself is checked above.
  check "unit verifies" in_jail systemd-analyze verify --man=no /lib/systemd/system/kelvaned.service
fi
if in_jail udevadm verify --help >/dev/null 2>&1; then # systemd 253 and later
  check "udev rule verifies" in_jail udevadm verify /lib/udev/rules.d/70-kelvane.rules
fi

step "service command as the unit runs it (User=kelvane, RuntimeDirectory=kelvane), no display"
install -d -o "$(in_jail id -u kelvane)" -g "$(in_jail id -g kelvane)" -m 0755 "$jail/run/kelvane"
exec_start=$(sed -n 's/^ExecStart=//p' "$jail/lib/systemd/system/kelvaned.service")
chroot --userspec=kelvane:kelvane "$jail" $exec_start 2>"$jail/tmp/daemon.log" &
daemon=$!
for _ in $(seq 50); do [ -s "$jail/run/kelvane/status" ] && break; sleep 0.1; done
sleep 1.5
status_out=$(in_jail kelvanectl status 2>&1) && status_rc=0 || status_rc=$?
echo "$status_out"
check "status: daemon running (exit 0)" test "$status_rc" -eq 0
check "status: no display attached" grep -q "displays: none attached" <<<"$status_out"
check "daemon logged that no display is attached" grep -q "no display attached" "$jail/tmp/daemon.log"
check "set needs root for the service's settings" sh -c "! chroot --userspec=kelvane:kelvane '$jail' kelvanectl set unit f"
check "root changes a setting" in_jail kelvanectl set unit f
sleep 1.5
check "daemon applied it" grep -q "unit f" "$jail/run/kelvane/status"
kill -TERM "$daemon"
wait "$daemon" && daemon_rc=0 || daemon_rc=$?
daemon=
echo "--- daemon log"; cat "$jail/tmp/daemon.log"
check "daemon stops cleanly on SIGTERM" test "$daemon_rc" -eq 0

step "purge"
check "package purges" in_jail env DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq kelvane
for f in /usr/bin/kelvaned /usr/bin/kelvanectl /lib/systemd/system/kelvaned.service \
  /lib/udev/rules.d/70-kelvane.rules /etc/kelvane.conf /etc/systemd/system/multi-user.target.wants/kelvaned.service; do
  check "removed $f" test ! -e "$jail$f"
done

step "result"
if [ "$failures" -eq 0 ]; then echo "chroot check passed"; else echo "chroot check: $failures failure(s)"; exit 1; fi
