#!/usr/bin/env bash
# Runs each fuzz target (fuzz/) under libFuzzer for SECONDS (default 60), in a
# clang build of its own (preset fuzz, build/fuzz) with ASan and UBSan. Each
# starts from its committed corpus, fuzz/corpus/TARGET/; what it finds goes to
# build/fuzz/found/TARGET/, to be looked at before anything joins the corpus.
# Prints one line per target; on a crash, the file that makes it, and ends
# with exit status 1.
# Usage: scripts/fuzz.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
if [[ ! $seconds =~ ^[1-9][0-9]*$ ]]; then
  echo "usage: scripts/fuzz.sh [SECONDS]   (SECONDS: a whole number above 0)" >&2
  exit 2
fi
scripts/install-deps.sh
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz >/dev/null

build=build/fuzz
status=0
for target in settings_line batch render_options share_link; do
  found=$build/found/$target
  crashes=$build/crashes/$target
  log=$build/$target.log
  mkdir -p "$found" "$crashes"
  # The first folder takes the new inputs; the corpus is only read.
  if "$build/fuzz/tonkelwerk_fuzz_$target" -max_total_time="$seconds" -print_final_stats=1 \
    -artifact_prefix="$crashes/" "$found" "fuzz/corpus/$target" >"$log" 2>&1; then
    # "#394757 DONE cov: 281 ft: 703 corp: 120/2920b ..."
    read -r runs cov ft corp < <(sed -nE \
      's/^#([0-9]+)[[:space:]]+DONE[[:space:]]+cov: ([0-9]+) ft: ([0-9]+) corp: ([0-9]+).*/\1 \2 \3 \4/p' \
      "$log")
    echo "$target: $runs runs in ${seconds}s, coverage $cov edges, $ft features," \
      "$corp inputs (new ones in $found)"
  else
    crash=$(sed -n 's/.*Test unit written to //p' "$log" | tail -n 1)
    echo "$target: FAILED, input ${crash:-not written} (log: $log)"
    status=1
  fi
done
exit "$status"
