#!/usr/bin/env bash
# One whole tonkelwerk-render process writing the longest, busiest sound,
# against sox writing a tone of the same length and format. Times each
# command over many runs, side by side, and prints the mean.
set -euo pipefail
cd "$(dirname "$0")/.."
render=${1:-build/release/cli/tonkelwerk-render}
runs=${RUNS:-100}
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

mean_ms() {
  local start end
  start=$(date +%s%N)
  for ((i = 0; i < runs; i++)); do "$@" >/dev/null; done
  end=$(date +%s%N)
  awk -v ns=$((end - start)) -v n="$runs" 'BEGIN { printf "%.3f", ns / n / 1e6 }'
}

tonkelwerk=$(mean_ms "$render" --freq 360 --rustle 360 --cutter 100 --len 360 -o "$out/t.wav")
sox=$(mean_ms sox -n -r 44100 -c 2 -b 16 "$out/s.wav" synth 2.88 sine 440)
echo "tonkelwerk-render: ${tonkelwerk} ms per run ($runs runs)"
echo "sox:               ${sox} ms per run ($runs runs)"
