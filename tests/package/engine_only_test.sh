#!/usr/bin/env bash
# A game developer's build: -DTONKELWERK_ENGINE_ONLY=ON with CMake told that
# neither Qt nor SDL exists. It must build the engine and tonkelwerk-render,
# whose --play says that this build cannot play; `cmake --install` into a
# temporary prefix must give a library, with a .pc file naming that prefix,
# that two tiny games outside the tree can use (consumer.sh), rendering the
# full build's bytes.
# Usage: engine_only_test.sh SOURCE_DIR WORK_DIR RENDER
set -euo pipefail
source_dir=$(realpath "$1")
work=$(realpath -m "$2")
render=$(realpath "$3")
here=$(dirname "$(realpath "$0")")
rm -rf "$work"
mkdir -p "$work"

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

set -x
cmake -S "$source_dir" -B "$work/build" -G Ninja -DCMAKE_BUILD_TYPE=Release --no-warn-unused-cli \
  -DTONKELWERK_ENGINE_ONLY=ON -DTONKELWERK_TESTS=OFF -DTONKELWERK_BENCH=OFF \
  -DCMAKE_DISABLE_FIND_PACKAGE_Qt6=ON -DCMAKE_DISABLE_FIND_PACKAGE_SDL2=ON >/dev/null
cmake --build "$work/build" >/dev/null
cmake --install "$work/build" --prefix "$work/prefix" >/dev/null
set +x
[[ ! -e $work/prefix/bin/tonkelwerk ]] || fail "the engine-only build installed the desktop program"

engine_render=$work/prefix/bin/tonkelwerk-render
status=0
(cd "$work" && "$engine_render" --freq 100 --len 10 -o played.wav --play 2>"$work/play.err") ||
  status=$?
((status == 1)) || fail "--play ended with status $status, not 1"
grep -q "this build cannot play sounds" "$work/play.err" || fail "--play said: $(cat "$work/play.err")"
[[ ! -e $work/played.wav ]] || fail "--play without sound wrote the file all the same"

"$engine_render" --freq 164 --rustle 50 --len 40 --seed 3 -o "$work/engine-only.wav"
"$render" --freq 164 --rustle 50 --len 40 --seed 3 -o "$work/full.wav"
cmp "$work/engine-only.wav" "$work/full.wav" || fail "the engine-only renderer renders other bytes"

# The .pc file names the prefix given to `cmake --install`, not the build's.
for variable in includedir=include libdir=lib; do
  got=$(PKG_CONFIG_PATH=$work/prefix/lib/pkgconfig pkg-config --variable="${variable%%=*}" tonkelwerk-sound)
  [[ $got == "$work/prefix/${variable#*=}" ]] || fail "tonkelwerk-sound.pc: ${variable%%=*} is $got"
done

"$here/consumer.sh" "$work/prefix" "$render"
