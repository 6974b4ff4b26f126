#!/usr/bin/env bash
# Builds Tonkelwerk, renders a sample sound (a short falling zap) to
# sample.wav and plays it through the sound device. Installs what it needs
# first.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release -j "$(nproc)"
knobs=(--freq 120 --end 90 --rustle 20 --cutter 30 --len 40 --seed 1)
build/release/cli/tonkelwerk-render "${knobs[@]}" -o sample.wav
echo "Rendered sample.wav"
build/release/cli/tonkelwerk-render "${knobs[@]}" --play
