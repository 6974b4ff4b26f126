#!/usr/bin/env bash
# Renders the same sounds with the Linux and the Windows build of
# tonkelwerk-render (the latter under Wine) and compares the files byte for
# byte: the engine's samples must not depend on the C runtime's sin.
#
# Usage: bench/win32_engine_match.sh [COUNT]   (default 40 random knob sets)
# Needs build/release (or LINUX_RENDER) and build/win32 (or WINDOWS_RENDER).
set -euo pipefail
cd "$(dirname "$0")/.."
count=${1:-40}
linux=${LINUX_RENDER:-build/release/cli/tonkelwerk-render}
windows=${WINDOWS_RENDER:-build/win32/cli/tonkelwerk-render.exe}
for program in "$linux" "$windows"; do
  [[ -x $program ]] || { echo "no $program: build it first" >&2; exit 1; }
done
work=$(mktemp -d build/win32-match.XXXXXX)
trap 'rm -rf "$work"' EXIT

RANDOM=1
differing=0
for ((n = 1; n <= count; n++)); do
  knobs=(--freq $((RANDOM % 360 + 1)) --len $((RANDOM % 360 + 1)) --start $((RANDOM % 361))
    --end $((RANDOM % 361)) --rustle $((RANDOM % 361)) --cutter $((RANDOM % 361)) --seed "$n")
  "$linux" "${knobs[@]}" -o "$work/linux.wav"
  # The Windows program writes into the folder it runs in.
  (cd "$work" && "$OLDPWD/tests/wine/wine-run.sh" "$OLDPWD/$windows" "${knobs[@]}" -o windows.wav)
  if ! cmp -s "$work/linux.wav" "$work/windows.wav"; then
    echo "differs: ${knobs[*]}"
    differing=$((differing + 1))
  fi
done
echo "$((count - differing)) of $count renders identical on Linux and Windows"
((differing == 0))
