#!/usr/bin/env bash
# Checks the Linux edition's .deb as a distribution would, then installs it in a fresh Debian 12
# chroot and runs the service's command as the unit would (systemd cannot be PID 1 here) with no
# display present: lintian and hardening-check clean, the unit and the rule verified, readiness and
# watchdog pings on a notify socket this script listens on, a second daemon refused, sensors and
# the choice of one, every JSON document parsed by python3; then purges the package and checks that
# nothing is left. Needs root, Debian's mirror, and lintian, hardening-check (devscripts) and
# python3 on this machine (scripts/setup.sh); not part of CI.
# Usage: scripts/linux-chroot-check.sh [path/to/kelvane.deb]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
deb=${1:-$(ls "$root"/build-linux/package/kelvane_*.deb | head -1)}
mirror=${DEBIAN_MIRROR:-http://deb.debian.org/debian}
cache=/var/tmp/kelvane-chroot-base/root # a debootstrap kept between runs; each run copies it
for tool in lintian hardening-check python3; do
  command -v "$tool" >/dev/null || { echo "linux-chroot-check: $tool is missing (bash scripts/setup.sh)" >&2; exit 2; }
done
jail=$(mktemp -d /var/tmp/kelvane-chroot-XXXXXX)
failures=0
checks=0

step() { printf '\n== %s\n' "$*"; }
check() { # description, command...
  local what=$1
  shift
  checks=$((checks + 1))
  if "$@"; then echo "ok:   $what"; else echo "FAIL: $what"; failures=$((failures + 1)); fi
}
# description, JSON text, Python expression over the parsed document d
check_json() {
  check "$1" python3 -c 'import json, sys; d = json.loads(sys.argv[1]); sys.exit(0 if eval(sys.argv[2]) else 1)' "$2" "$3"
}
in_jail() { chroot "$jail" "$@"; }
eventually() { # command...: true once it is, within 10 s
  for _ in $(seq 100); do "$@" && return 0; sleep 0.1; done
  "$@"
}
notified() { grep -qx "$1" "$jail/tmp/notify.log"; }
# The message after the first "after" line; systemd reads them in order too.
notified_after() { sed -n "\|^$1|,\$p" "$jail/tmp/notify.log" | tail -n +2 | grep -qx "$2"; }
cleanup() {
  [ -n "${daemon:-}" ] && kill "$daemon" 2>/dev/null || true
  [ -n "${listener:-}" ] && kill "$listener" 2>/dev/null || true
  for m in dev/pts dev sys proc; do umount "$jail/$m" 2>/dev/null || true; done
  rm -rf "$jail"
}
trap cleanup EXIT

step "lintian $(lintian --version | cut -d' ' -f2) on $(basename "$deb")"
check "lintian: no error and no warning" lintian --fail-on error,warning --display-info "$deb"

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
installed=(/usr/bin/kelvaned /usr/bin/kelvanectl /lib/systemd/system/kelvaned.service
  /lib/udev/rules.d/70-kelvane.rules /etc/kelvane.conf /usr/lib/sysusers.d/kelvane.conf
  /usr/share/man/man1/kelvanectl.1.gz /usr/share/man/man8/kelvaned.8.gz
  /usr/share/bash-completion/completions/kelvanectl /usr/share/metainfo/example.kelvane.kelvaned.metainfo.xml
  /usr/share/doc/kelvane/copyright /usr/share/doc/kelvane/changelog.gz)
for f in "${installed[@]}"; do
  check "installed $f" test -e "$jail$f"
done
check "service user exists" in_jail getent passwd kelvane
check "service enabled" in_jail systemctl is-enabled kelvaned.service
check "ExecReload's /bin/kill is there" test -x "$jail/bin/kill"
check "kelvanectl --help" in_jail kelvanectl --help

step "hardening-check on the installed programs"
# --nocfprotection: Debian 12's C start files (crt1.o, crti.o) carry no IBT/SHSTK property, so the
# linker drops it from every Debian 12 program, an empty main() built with -fcf-protection included.
check "hardening-check kelvaned kelvanectl" hardening-check --nocfprotection "$jail/usr/bin/kelvaned" \
  "$jail/usr/bin/kelvanectl"

step "systemd-analyze"
# --man=no: the minimal chroot has no man; the pages are checked by lintian.
check "unit verifies" in_jail systemd-analyze verify --man=no /lib/systemd/system/kelvaned.service
exposure=$(in_jail systemd-analyze security --offline=yes /lib/systemd/system/kelvaned.service 2>&1 |
  sed -n 's/.*Overall exposure level for kelvaned.service: \([0-9.]*\).*/\1/p')
echo "exposure: ${exposure:-not reported}"
check "exposure under 2.0 (of 10)" awk -v e="${exposure:-10}" 'BEGIN { exit !(e < 2.0) }'
if in_jail udevadm verify --help >/dev/null 2>&1; then # systemd 253 and later
  check "udev rule verifies" in_jail udevadm verify /lib/udev/rules.d/70-kelvane.rules
fi

step "service command as the unit runs it (User=kelvane, RuntimeDirectory=kelvane), no display"
install -d -o "$(in_jail id -u kelvane)" -g "$(in_jail id -g kelvane)" -m 0755 "$jail/run/kelvane"
unit="$jail/lib/systemd/system/kelvaned.service"
exec_start=$(sed -n 's/^ExecStart=//p' "$unit")
exec_reload=$(sed -n 's/^ExecReload=//p' "$unit")
watchdog_seconds=$(sed -n 's/^WatchdogSec=\([0-9]*\)s$/\1/p' "$unit")
check "unit is Type=notify" grep -qx "Type=notify" "$unit"
check "unit has a watchdog" test -n "$watchdog_seconds"
# The notify socket as systemd holds it, at /run/kelvane-notify inside the chroot.
: >"$jail/tmp/notify.log"
python3 -c '
import os, socket, sys
listener = socket.socket(socket.AF_UNIX, socket.SOCK_DGRAM)
listener.bind(sys.argv[1])
os.chmod(sys.argv[1], 0o666)
with open(sys.argv[2], "a", buffering=1) as log:
    while True:
        for line in listener.recv(4096).decode(errors="replace").splitlines():
            log.write(line + "\n")
' "$jail/run/kelvane-notify" "$jail/tmp/notify.log" &
listener=$!
check "notify socket listening" eventually test -S "$jail/run/kelvane-notify"
# A plain command, not a function: $! is then the daemon itself (chroot and env exec it).
chroot --userspec=kelvane:kelvane "$jail" env NOTIFY_SOCKET=/run/kelvane-notify \
  WATCHDOG_USEC=$((${watchdog_seconds:-10} * 1000000)) $exec_start 2>"$jail/tmp/daemon.log" &
daemon=$!
check "READY=1 on the notify socket" eventually notified READY=1
check "WATCHDOG=1 from the ticks" eventually notified_after READY=1 WATCHDOG=1
status_out=$(in_jail kelvanectl status 2>&1) && status_rc=0 || status_rc=$?
echo "$status_out"
check "status: daemon running (exit 0)" test "$status_rc" -eq 0
check "status: no display attached" grep -q "displays: none attached" <<<"$status_out"
check "daemon logged that no display is attached" grep -q "no display attached" "$jail/tmp/daemon.log"

# timeout: one that does not refuse would run on.
second_out=$(timeout 10 chroot --userspec=kelvane:kelvane "$jail" $exec_start 2>&1) && second_rc=0 || second_rc=$?
echo "second service daemon: exit $second_rc: $second_out"
check "a second service daemon exits 1" test "$second_rc" -eq 1
check "it names the running one" grep -q "kelvaned is already running (pid $daemon)" <<<"$second_out"
mkdir -p -m 0700 "$jail/tmp/xdg"
user_out=$(timeout 10 chroot "$jail" env XDG_RUNTIME_DIR=/tmp/xdg HOME=/root kelvaned --user 2>&1) && user_rc=0 || user_rc=$?
echo "user daemon: exit $user_rc: $user_out"
check "a user daemon refuses while the service runs" test "$user_rc" -eq 1
check "it names the service's daemon" grep -q "kelvaned is already running (pid $daemon)" <<<"$user_out"

step "sensors and the choice of one"
sensors_out=$(in_jail kelvanectl sensors 2>&1) && sensors_rc=0 || sensors_rc=$?
echo "$sensors_out"
check "sensors (exit 0)" test "$sensors_rc" -eq 0
check "sensors names the cpu sensor in use" grep -q "^cpu-sensor: auto" <<<"$sensors_out"
check_json "sensors --json parses" "$(in_jail kelvanectl sensors --json)" \
  'isinstance(d["sensors"], list) and d["cpu"]["chosen"] == "auto"'
unknown_out=$(in_jail kelvanectl set cpu-sensor nosuch/sensor 2>&1) && unknown_rc=0 || unknown_rc=$?
check "set cpu-sensor with an unknown id exits 2" test "$unknown_rc" -eq 2
check "and says which ids there are" grep -q "kelvanectl sensors" <<<"$unknown_out"
# This machine's /sys may have no sensor: a tree of its own shows the choice reaching the service,
# whose own /sys lacks it, so the status must name it as missing.
mkdir -p "$jail/tmp/sys/class/hwmon/hwmon0"
echo k10temp >"$jail/tmp/sys/class/hwmon/hwmon0/name"
echo Tctl >"$jail/tmp/sys/class/hwmon/hwmon0/temp1_label"
echo 45600 >"$jail/tmp/sys/class/hwmon/hwmon0/temp1_input"
check_json "sensors --json of a tree lists k10temp/Tctl" "$(in_jail kelvanectl --sysfs /tmp/sys sensors --json)" \
  '[s["id"] for s in d["sensors"]] == ["k10temp/Tctl"] and d["sensors"][0]["celsius"] == 45.6'
check "root sets cpu-sensor k10temp/Tctl" in_jail kelvanectl --sysfs /tmp/sys set cpu-sensor k10temp/Tctl
check "kept in /etc/kelvane.conf" grep -qx "cpu-sensor = k10temp/Tctl" "$jail/etc/kelvane.conf"
check "the file's comment is kept" grep -q "^# " "$jail/etc/kelvane.conf"
chosen() { in_jail kelvanectl status --json | python3 -c 'import json, sys; d = json.load(sys.stdin); sys.exit(d["cpu"]["sensor"] != "k10temp/Tctl")'; }
check "the daemon follows the choice" eventually chosen
check_json "status --json: the chosen sensor is missing, no reading" "$(in_jail kelvanectl status --json)" \
  'd["cpu"]["state"] == "missing" and d["cpu"]["celsius"] is None and d["settings"]["cpu-sensor"] == "k10temp/Tctl"'
check "set cpu-sensor auto" in_jail kelvanectl set cpu-sensor auto

step "settings, JSON, reload"
check "set needs root for the service's settings" sh -c "! chroot --userspec=kelvane:kelvane '$jail' kelvanectl set unit f"
check "root changes a setting" in_jail kelvanectl set unit f
unit_f() { in_jail kelvanectl status | grep -q "unit f"; }
check "daemon applied it" eventually unit_f
check_json "status --json parses" "$(in_jail kelvanectl status --json)" \
  "(d['running'] is True and d['pid'] == $daemon and d['settings']['unit'] == 'f' and d['displays'] == []
    and d['settings']['cpu-sensor'] == 'auto' and d['shows']['unit'] == 'f')"
check_json "list --json parses" "$(in_jail kelvanectl list --json 2>/dev/null)" 'd == {"displays": []}'
echo "ExecReload: ${exec_reload//\$MAINPID/$daemon}"
in_jail ${exec_reload//\$MAINPID/$daemon}
check "reload: RELOADING=1" eventually grep -q "^RELOADING=1" "$jail/tmp/notify.log"
check "then READY=1 again" eventually notified_after RELOADING=1 READY=1
kill -TERM "$daemon"
wait "$daemon" && daemon_rc=0 || daemon_rc=$?
daemon=
check "STOPPING=1 on the way out" eventually notified STOPPING=1
kill "$listener" && listener=
echo "--- daemon log"; cat "$jail/tmp/daemon.log"
echo "--- notify socket"; sort "$jail/tmp/notify.log" | uniq -c
check "daemon stops cleanly on SIGTERM" test "$daemon_rc" -eq 0

step "purge"
check "package purges" in_jail env DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq kelvane
for f in "${installed[@]}" /etc/systemd/system/multi-user.target.wants/kelvaned.service; do
  check "removed $f" test ! -e "$jail$f"
done

step "result"
if [ "$failures" -eq 0 ]; then
  echo "chroot check passed ($checks checks)"
else
  echo "chroot check: $failures of $checks checks failed"
  exit 1
fi
