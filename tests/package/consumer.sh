#!/usr/bin/env bash
# Builds tiny games outside the source tree against an installed Tonkelwerk,
# with CMake's find_package and with pkg-config each: one as C++17 with the
# static library and names of its own that the engine uses too, one as C99
# (-pedantic-errors) with the shared library, run with LD_LIBRARY_PATH into
# the installed tree. Their renders must be the bytes that tonkelwerk-render
# writes for the same knobs and seed. The CMake package and both .pc files
# carry the version of the engine's interface, and an older C++ is turned
# away with a message that says what is needed.
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
  cp "$here/render_line.cpp" "$here/render_line.c" "$work/$kind/"
done
# The commands are shown: they are the ones a game's build runs.
set -x
cmake -S "$work/cmake" -B "$work/cmake/build" -G Ninja -DCMAKE_PREFIX_PATH="$prefix" \
  -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$work/cmake/build" >/dev/null
export PKG_CONFIG_PATH=$(dirname "$(find "$prefix" -name tonkelwerk-sound.pc)")
make -s -C "$work/pkg-config"
set +x

header=$(find "$prefix" -path '*/tonkelwerk/engine_defs.h')
engine_version=$(sed -nE 's/^#define TONKELWERK_ENGINE_VERSION_(MAJOR|MINOR|PATCH) ([0-9]+)$/\2/p' \
  "$header" | paste -sd.)
[[ $engine_version =~ ^[0-9]+\.[0-9]+\.[0-9]+$ ]] || fail "engine_defs.h states no engine version"
for pc in tonkelwerk-sound tonkelwerk; do
  pc_version=$(pkg-config --modversion $pc)
  [[ $pc_version == "$engine_version" ]] ||
    fail "$pc.pc says version $pc_version, the header $engine_version"
done

# shellcheck disable=SC2046 # the flags are words
if c++ -std=c++14 -fsyntax-only $(pkg-config --cflags tonkelwerk-sound) \
  "$work/pkg-config/render_line.cpp" 2>"$work/cxx14.err"; then
  fail "the headers compile as C++14"
fi
grep -q "need C++17 or later" "$work/cxx14.err" ||
  fail "a C++14 build is not told that C++17 is needed: $(head -3 "$work/cxx14.err")"

# The C games load the shared library, the one of the installed tree.
lib_dir=$(dirname "$(find "$prefix" -name libtonkelwerk.so.1)")
export LD_LIBRARY_PATH=$lib_dir
for program in "$work/cmake/build/render_line_c" "$work/pkg-config/render_line_c"; do
  [[ $(ldd "$program") == *"$lib_dir/libtonkelwerk.so.1 "* ]] ||
    fail "$program does not load the installed tree's libtonkelwerk.so.1"
done

lines=("freq=164 len=40 seed=7" "start=30 end=200 freq=120 rustle=300 cutter=90 len=120 seed=4294967295")
for line in "${lines[@]}"; do
  options=()
  for word in $line; do options+=("--${word%%=*}" "${word#*=}"); done
  "$render" "${options[@]}" -o "$work/expected.wav"
  for program in "$work"/{cmake/build,pkg-config}/render_line{,_c}; do
    "$program" "$line" "$work/got.wav"
    cmp "$work/expected.wav" "$work/got.wav" || fail "$program differs from tonkelwerk-render: $line"
  done
done
echo "PASS: every consumer renders tonkelwerk-render's bytes"
