#!/usr/bin/env bash
# Builds two tiny games outside the source tree against an installed
# Tonkelwerk, one with CMake's find_package and one with pkg-config, and checks
# that their renders are the bytes that tonkelwerk-render writes for the same
# knobs and seed.
# Usage: consumer.sh PREFIX RENDER   (PREFIX: where include/ and lib/ lie;
# PKG_CONFIG_SYSROOT_DIR: the root of an unpacked package, whose .pc file
# names /usr)
set -euo pipefail
prefix=$(realpath "$1")
render=$(realpath "$2")
here=$(dirname "$(realpath "$0")")/consumer
work=$(mktemp -d /tmp/tonkelwerk-consumer.XXXXXX)
trap 'rm -rf "$work"' EXIT

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

for kind in cmake pkg-config; do
  cp -r "$here/$kind" "$work/$kind"
  cp "$here/render_line.cpp" "$work/$kind/"
done
# The commands are shown: they are the ones a game's build runs.
set -x
cmake -S "$work/cmake" -B "$work/cmake/build" -G Ninja -DCMAKE_PREFIX_PATH="$prefix" \
  -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$work/cmake/build" >/dev/null
PKG_CONFIG_PATH=$(dirname "$(find "$prefix" -name tonkelwerk-sound.pc)") make -s -C "$work/pkg-config"
set +x

lines=("freq=164 len=40 seed=7" "start=30 end=200 freq=120 rustle=300 cutter=90 len=120 seed=4294967295")
for line in "${lines[@]}"; do
  options=()
  for word in $line; do options+=("--${word%%=*}" "${word#*=}"); done
  "$render" "${options[@]}" -o "$work/expected.wav"
  for program in "$work/cmake/build/render_line" "$work/pkg-config/render_line"; do
    "$program" "$line" "$work/got.wav"
    cmp "$work/expected.wav" "$work/got.wav" || fail "$program differs from tonkelwerk-render: $line"
  done
done
echo "PASS: both consumers render tonkelwerk-render's bytes"
