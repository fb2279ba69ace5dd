#!/usr/bin/env bash
# kelvanectl's bash completion, loaded as bash-completion loads it, against the built tool and a
# fake sensor tree. Usage: BashCompletionTest.sh KELVANECTL COMPLETION_FILE
set -uo pipefail
tool=$1
completion=$2
framework=/usr/share/bash-completion/bash_completion
[ -r "$framework" ] || { echo "bash-completion is not installed; skipped"; exit 77; }
tree=$(mktemp -d /tmp/kelvane-completion-XXXXXX)
trap 'rm -rf "$tree"' EXIT
mkdir -p "$tree/class/hwmon/hwmon0" "$tree/class/hwmon/hwmon1"
echo k10temp >"$tree/class/hwmon/hwmon0/name"
echo Tctl >"$tree/class/hwmon/hwmon0/temp1_label"
echo 45600 >"$tree/class/hwmon/hwmon0/temp1_input"
echo coretemp >"$tree/class/hwmon/hwmon1/name"
echo "Package id 0" >"$tree/class/hwmon/hwmon1/temp1_label"
echo 50000 >"$tree/class/hwmon/hwmon1/temp1_input"

# shellcheck disable=SC1090
source "$framework"
source "$completion"
failures=0
expect() { # "line as typed" "candidates, one space between"
  local line=$1 want=$2
  read -ra COMP_WORDS <<<"$line"
  [[ $line == *" " ]] && COMP_WORDS+=("")
  COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
  COMP_LINE=$line
  COMP_POINT=${#line}
  COMPREPLY=()
  _kelvanectl kelvanectl "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
  local got="${COMPREPLY[*]}"
  if [[ $got == "$want" ]]; then
    echo "ok:   '$line' -> $got"
  else
    echo "FAIL: '$line' -> '$got', expected '$want'"
    failures=$((failures + 1))
  fi
}
expect "$tool " "status list sensors set help"
expect "$tool s" "status sensors set"
expect "$tool set " "led source unit cpu-sensor gpu-sensor"
expect "$tool set led o" "on off"
expect "$tool --config /nowhere/kelvane.conf set source " "cpu gpu"
expect "$tool --user set unit " "c f"
expect "$tool status " ""
expect "$tool --j" "--json"
expect "$tool --sysfs $tree set cpu-sensor " 'auto k10temp/Tctl coretemp/Package\ id\ 0'
expect "$tool --sysfs $tree set gpu-sensor core" 'coretemp/Package\ id\ 0'
expect "$tool --sysfs $tree set cpu-sensor a" "auto"
[ "$failures" -eq 0 ] || { echo "$failures failure(s)"; exit 1; }
