#!/usr/bin/env bash
# One whole tonkelwerk-render process writing the longest, busiest sound,
# against sox writing a tone of the same length and format. Times each
# command over many runs, side by side, and prints the means per run and
# their ratio (tonkelwerk-render's over sox's: below 1 is faster): wall time,
# what a script waits for, and CPU time (user + system), which holds better
# on a busy machine. The renderer's wall time includes syncing the file to
# the disk, which sox leaves out (TMPDIR=/dev/shm times it without).
set -euo pipefail
cd "$(dirname "$0")/.."
render=${1:-build/release/cli/tonkelwerk-render}
runs=${RUNS:-100}
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
exec 3>&2

# "WALL CPU": the mean milliseconds per run of the command.
mean_ms() {
  local TIMEFORMAT='%R %U %S' times
  times=$({ time for ((i = 0; i < runs; i++)); do "$@" >/dev/null 2>&3; done; } 2>&1)
  awk -v n="$runs" '{ printf "%.3f %.3f\n", $1 * 1000 / n, ($2 + $3) * 1000 / n }' <<<"$times"
}

read -r tonkelwerk_wall tonkelwerk_cpu < <(mean_ms "$render" --freq 360 --rustle 360 --cutter 100 \
  --len 360 -o "$out/t.wav")
read -r sox_wall sox_cpu < <(mean_ms sox -n -r 44100 -c 2 -b 16 "$out/s.wav" synth 2.88 sine 440)
echo "per run ($runs runs)    wall ms    CPU ms"
printf "tonkelwerk-render  %9s %9s\n" "$tonkelwerk_wall" "$tonkelwerk_cpu"
printf "sox                %9s %9s\n" "$sox_wall" "$sox_cpu"
awk -v tw="$tonkelwerk_wall" -v tc="$tonkelwerk_cpu" -v sw="$sox_wall" -v sc="$sox_cpu" \
  'BEGIN { printf "ratio              %9.2f %9.2f\n", tw / sw, tc / sc }'
