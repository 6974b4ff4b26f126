#!/usr/bin/env bash
# The Windows program at rest under Wine: the size of the stripped .exe, the
# processor time it takes while idle, and how many frames it presents per
# second (at most one per 1/61 second). Needs the win32 build
# (scripts/test-win32.sh or cmake --build --preset win32).
#
# Usage: bench/win32_idle.sh [SECONDS]   (default 10)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-10}
exe=$(pwd)/build/win32/app/tonkelwerk.exe
work=build/win32-bench
[[ -f $exe ]] || { echo "no $exe: build the win32 preset first" >&2; exit 1; }
mkdir -p "$work"
work=$(cd "$work" && pwd)

stripped=$work/tonkelwerk-stripped.exe
x86_64-w64-mingw32-strip -o "$stripped" "$exe"
echo "stripped tonkelwerk.exe: $(stat -c %s "$stripped") bytes"

export WINEPREFIX=$work/prefix
if [[ ! -f $WINEPREFIX/user.reg ]]; then
  WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" wineboot -i >/dev/null 2>&1 || true
  WINEDEBUG=-all wine reg add 'HKCU\Software\Wine\Direct3D' /v renderer /t REG_SZ /d gdi /f \
    >/dev/null 2>&1
  wineserver -w
fi
cat >"$work/.asoundrc" <<'EOF'
pcm.!default { type null }
EOF

# shellcheck source=../tests/e2e/xvfb_session.sh
source tests/e2e/xvfb_session.sh
xvfb_start "$work/xvfb.log" || { echo "no X display could be started" >&2; exit 1; }
program=
cleanup() {
  if [[ -n $program ]]; then kill "$program" 2>/dev/null || true; fi
  wineserver -k 2>/dev/null || true
  xvfb_stop
}
trap cleanup EXIT

# The Wine server of this prefix (not of another run's): it works in a
# folder named after the prefix's device and inode numbers.
prefix_server() {
  local device inode folder pid
  read -r device inode <<<"$(stat -c '%d %i' "$WINEPREFIX")"
  folder=$(printf 'server-%x-%x' "$device" "$inode")
  for pid in $(pgrep wineserver); do
    [[ $(readlink "/proc/$pid/cwd") == */$folder ]] && echo "$pid" && return
  done
  return 1
}

# CPU ticks (user + system) of a process so far.
ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }

# Runs the program idle for the measured seconds with the given WINEDEBUG,
# keeping the trace in trace.log; prints the CPU seconds it and the Wine
# server took meanwhile.
idle_run() {
  (cd "$work" && HOME=$work WINEDEBUG=$1 exec wine "$exe" >"$work/trace.log" 2>&1) &
  program=$!
  sleep 5  # start-up done, the window shown
  local server
  server=$(prefix_server)
  local before_program before_server
  before_program=$(ticks "$program")
  before_server=$(ticks "$server")
  sleep "$seconds"
  local hz
  hz=$(getconf CLK_TCK)
  awk -v p=$(($(ticks "$program") - before_program)) -v s=$(($(ticks "$server") - before_server)) \
    -v hz="$hz" -v t="$seconds" \
    'BEGIN { printf "idle CPU over %d s: program %.1f%%, wineserver %.1f%%\n", t, 100 * p / hz / t, 100 * s / hz / t }'
  kill "$program" 2>/dev/null || true
  wait "$program" 2>/dev/null || true
  program=
  wineserver -k 2>/dev/null || true
  wineserver -w
}

idle_run -all
# The presents are the waiting blits (flag DDBLT_WAIT) in Wine's DirectDraw
# trace; timestamps are in milliseconds.
idle_run +timestamp,trace+ddraw >/dev/null
grep 'surface7_Blt iface.*flags 0x1000000' "$work/trace.log" | awk -F: '{ print $1 }' |
  awk -v t="$seconds" 'NR == 1 { first = $1 } { last = $1; n++ }
    NR > 1 { d = $1 - previous; if (min == "" || d < min) min = d } { previous = $1 }
    END { printf "idle frames: %.1f per second (%d presents), closest two %.0f ms apart\n",
          (n - 1) / (last - first), n, 1000 * min }'
