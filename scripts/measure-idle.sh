#!/usr/bin/env bash
# Speed report of the idle program in a real X11 window (a private Xvfb):
# processor use over 10 seconds, frames and presents per second, the time from start to
# the first frame and the resident memory. A report, not a test: it prints
# the numbers and the goals next to them.
# Usage: scripts/measure-idle.sh [PROGRAM]  (default: build/release/app/tonkelwerk)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
program=$(realpath "${1:-$root/build/release/app/tonkelwerk}")
work=$(mktemp -d)
# shellcheck source=tests/e2e/xvfb_session.sh
source "$root/tests/e2e/xvfb_session.sh"
program_pid=""
cleanup() {
  if [[ -n "$program_pid" ]]; then kill -9 "$program_pid" 2>/dev/null || true; fi
  xvfb_stop
  rm -rf "$work"
}
trap cleanup EXIT
xvfb_start "$work/xvfb.log" || { echo "Xvfb did not start" >&2; exit 1; }

# Processor time of a process in clock ticks (user + system).
cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }

launched_ms=$(date +%s%3N)
TONKELWERK_FRAME_STATS=1 SDL_AUDIODRIVER=dummy SDL_NO_SIGNAL_HANDLERS=1 QT_QPA_PLATFORM=xcb \
  "$program" 2>"$work/stderr.log" &
program_pid=$!
window=$(timeout 10 xdotool search --sync --onlyvisible --name '^Tonkelwerk 1\.00$' | head -1)
sleep 2  # past start-up

ticks_before=$(cpu_ticks "$program_pid")
sleep 10
ticks_after=$(cpu_ticks "$program_pid")
rss_kb=$(awk '/VmRSS/ {print $2}' "/proc/$program_pid/status")
hz=$(getconf CLK_TCK)

python3 "$root/tests/e2e/x11_close_window.py" "$window"
status=0
wait "$program_pid" || status=$?
program_pid=""

read -r flips presents first last < <(sed -n \
  's/.*flips=\([0-9]*\) presents=\([0-9]*\) first_flip_unix_ms=\([0-9]*\) last_flip_unix_ms=\([0-9]*\).*/\1 \2 \3 \4/p' \
  "$work/stderr.log")
awk -v t="$((ticks_after - ticks_before))" -v hz="$hz" -v n="$flips" -v p="$presents" -v f="$first" \
    -v l="$last" -v launched="$launched_ms" -v rss="$rss_kb" -v status="$status" 'BEGIN {
  printf "idle processor use over 10 s: %.1f %% of one core (goal: under 3 %%)\n", 100 * t / hz / 10
  printf "frames per second:            %.1f (goal: about 61, never more)\n", (n - 1) * 1000 / (l - f)
  printf "presents:                     %d of %d frames (an unchanged frame is not sent again)\n", p, n
  printf "start to first frame:         %d ms (goal: under 300 ms)\n", f - launched
  printf "resident memory:              %.1f MiB\n", rss / 1024
  printf "exit status:                  %d\n", status
}'
