# Sourced by wine-prefix.sh and wine-run.sh: what a test lane is, in one place.
# Lane 1 is the build's prefix; lane k (k >= 2) is its copy PREFIX-k with an X display of its own
# (PREFIX-k/.display). Each lane's staged program asks its update server on port
# TK_LANE_PORT_BASE + k (CMake's TK_LANE_PORT_BASE hands the same base to the staged program).

lane_prefix() { # BASE K
  if [ "$2" = 1 ]; then echo "$1"; else echo "$1-$2"; fi
}

lane_port() { # K
  echo $((${TK_LANE_PORT_BASE:-38516} + $1))
}

# Files lane 1's preparation leaves in the prefix, one per setting it made.
lane_markers=(.win10 .unmanaged .arial)

# What a lane copy was made from: the preparing scripts and Wine's version. A copy whose stamp
# differs from lane 1's is made again.
lane_stamp() {
  local here
  here=$(dirname "${BASH_SOURCE[0]}")
  { cat "$here/wine-lanes.sh" "$here/wine-prefix.sh"; wine --version 2>/dev/null; } | cksum | cut -d' ' -f1
}
