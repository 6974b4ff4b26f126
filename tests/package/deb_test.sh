#!/usr/bin/env bash
# The Debian packages as a user gets them: builds all four with CPack from a
# hardened build (as scripts/package.sh does with the deb preset; the build
# stays in DEB_BUILD_DIR for the next run), checks them with lintian (no
# errors, no hardening or cross-compilation tags), unpacks each
# with dpkg-deb -x into a root of its own (nothing is installed on this
# machine) and checks what is inside: every file in its place, icons of the
# right sizes, metadata that AppStream accepts, manual pages that name every
# option of --help, no .comment section left, a renderer that writes the
# release build's bytes, a program whose window class is the desktop entry's
# StartupWMClass, and "Multi-Arch: same" engine packages in the multiarch
# folder: libtonkelwerk1 with libtonkelwerk.so.1 alone, exporting the
# engine's interface and nothing else, with the symbols file that
# packaging/debian/libtonkelwerk1.symbols lists, shlibs and the ldconfig
# trigger; libtonkelwerk-dev, that tiny games in C and C++ build against
# (consumer.sh), its .pc files moved with PKG_CONFIG_SYSROOT_DIR; and
# python3-tonkelwerk, whose module renders through libtonkelwerk1's library.
# Usage: deb_test.sh SOURCE_DIR DEB_BUILD_DIR BUILD_DIR WORK_DIR
#        (environment: TONKELWERK_VERSION; BUILD_DIR: the release build)
set -euo pipefail
source_dir=$(realpath "$1")
deb_build=$(realpath -m "$2")
build=$(realpath "$3")
work=$(realpath -m "$4")
here=$(dirname "$(realpath "$0")")
: "${TONKELWERK_VERSION:?}"
rm -rf "$work"
mkdir -p "$work"

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

cmake -S "$source_dir" --preset deb -B "$deb_build" >/dev/null
cmake --build "$deb_build" >/dev/null
cpack --config "$deb_build/CPackConfig.cmake" -G DEB -B "$work/dist" >/dev/null
program_deb=$work/dist/tonkelwerk_${TONKELWERK_VERSION}_amd64.deb
lib_deb=$work/dist/libtonkelwerk1_${TONKELWERK_VERSION}_amd64.deb
dev_deb=$work/dist/libtonkelwerk-dev_${TONKELWERK_VERSION}_amd64.deb
python_deb=$work/dist/python3-tonkelwerk_${TONKELWERK_VERSION}_all.deb
ls -l "$program_deb" "$lib_deb" "$dev_deb" "$python_deb" || fail "a package is missing"

echo "== lintian"
status=0
lintian --fail-on error --display-info --tag-display-limit 0 "$program_deb" "$lib_deb" "$dev_deb" \
  "$python_deb" >"$work/lintian.log" || status=$?
cat "$work/lintian.log"
((status == 0)) || fail "lintian found errors"
! grep -E ': (hardening-[a-z-]+|pkg-config-unavailable-for-cross-compilation|maintscript-calls-ldconfig)( |$)' \
  "$work/lintian.log" || fail "lintian finds the hardening, the multiarch folder or ldconfig's trigger wanting"
for deb in "$lib_deb" "$dev_deb"; do
  [[ $(dpkg-deb -f "$deb" Multi-Arch) == same ]] || fail "$(basename "$deb") is not Multi-Arch: same"
done

root=$work/root
dev_root=$work/dev-root
lib_root=$work/lib-root
dpkg-deb -x "$program_deb" "$root"
dpkg-deb -x "$lib_deb" "$lib_root"
# A game's build machine has both engine packages, as -dev depends on the other.
dpkg-deb -x "$dev_deb" "$dev_root"
dpkg-deb -x "$lib_deb" "$dev_root"
app_id=io.github.tonkelwerk.Tonkelwerk
for file in usr/bin/tonkelwerk usr/bin/tonkelwerk-render usr/share/applications/$app_id.desktop \
  usr/share/metainfo/$app_id.metainfo.xml usr/share/icons/hicolor/scalable/apps/tonkelwerk.svg \
  usr/share/man/man1/tonkelwerk.1.gz usr/share/man/man1/tonkelwerk-render.1.gz \
  usr/share/doc/tonkelwerk/copyright; do
  [[ -s $root/$file ]] || fail "tonkelwerk has no $file"
done
for size in 16 22 24 32 48 64 128 256; do
  png=$root/usr/share/icons/hicolor/${size}x$size/apps/tonkelwerk.png
  [[ $(identify -format %wx%h "$png" 2>/dev/null) == "${size}x$size" ]] || fail "no ${size} px icon"
done
lib=lib/$(dpkg-architecture -qDEB_HOST_MULTIARCH)
for file in include/tonkelwerk/sound_engine.h include/tonkelwerk/settings_line.h include/tonkelwerk/presets.h \
  include/tonkelwerk/tonkelwerk.h $lib/libtonkelwerk_sound.a $lib/cmake/Tonkelwerk/TonkelwerkConfig.cmake \
  $lib/cmake/Tonkelwerk/TonkelwerkConfigVersion.cmake $lib/pkgconfig/tonkelwerk-sound.pc \
  $lib/pkgconfig/tonkelwerk.pc share/doc/libtonkelwerk-dev/copyright; do
  [[ -s $dev_root/usr/$file ]] || fail "libtonkelwerk-dev has no usr/$file"
done
[[ $(dpkg-deb --fsys-tarfile "$dev_deb" | tar -t --verbose | grep -o "/$lib/libtonkelwerk.so -> .*") == \
  "/$lib/libtonkelwerk.so -> libtonkelwerk.so.1" ]] || fail "libtonkelwerk-dev has no link libtonkelwerk.so"
gzip -dc "$dev_root/usr/share/doc/libtonkelwerk-dev/NEWS.gz" | cmp - "$source_dir/NEWS" ||
  fail "libtonkelwerk-dev has no NEWS.gz of NEWS"
[[ $(dpkg-deb -f "$dev_deb" Depends) == *"libtonkelwerk1 (= $TONKELWERK_VERSION)"* ]] ||
  fail "libtonkelwerk-dev does not depend on this very libtonkelwerk1: $(dpkg-deb -f "$dev_deb" Depends)"
[[ $(dpkg-deb -f "$program_deb" Depends) != *libtonkelwerk* ]] ||
  fail "tonkelwerk depends on the engine's packages rather than holding the engine"

# The runtime package: the library and its documents, nothing a build needs.
so=usr/$lib/libtonkelwerk.so.1
expected_files=$(printf '%s\n' "./$so" "./$so.0.0" ./usr/share/doc/libtonkelwerk1/changelog.gz \
  ./usr/share/doc/libtonkelwerk1/copyright)
[[ $(dpkg-deb --fsys-tarfile "$lib_deb" | tar -t | grep -v '/$' | sort) == "$expected_files" ]] ||
  fail "libtonkelwerk1 holds other files: $(dpkg-deb -c "$lib_deb")"
readelf -d "$lib_root/$so" | grep -q 'SONAME.*\[libtonkelwerk\.so\.1\]' ||
  fail "libtonkelwerk.so.1 has another SONAME"
dpkg-deb -e "$lib_deb" "$work/lib-control"
[[ $(cat "$work/lib-control/shlibs") == "libtonkelwerk 1 libtonkelwerk1 (>= $TONKELWERK_VERSION)" ]] ||
  fail "libtonkelwerk1's shlibs: $(cat "$work/lib-control/shlibs")"
[[ $(cat "$work/lib-control/triggers") == "activate-noawait ldconfig" ]] ||
  fail "libtonkelwerk1 does not trigger ldconfig"
[[ ! -e $work/lib-control/postinst && ! -e $work/lib-control/postrm ]] ||
  fail "libtonkelwerk1 runs ldconfig from maintainer scripts"
# Exported: the C interface and namespace tonkelwerk, nothing of the
# standard library's that a game could come to need from here.
leaked=$(nm -D --defined-only "$lib_root/$so" | awk '{print $3}' | c++filt |
  grep -Ev '^(tonkelwerk_|tonkelwerk::)' || true)
[[ -z $leaked ]] || fail "libtonkelwerk.so.1 exports more than the interface: $leaked"
# The symbols file: the control archive's is dpkg-gensymbols' of the checked-in
# list, and the check notices a symbol gone or one come. It compares as the
# next version would: dpkg-gensymbols forgives the loss of a symbol in the
# very version that brought it, and this is the library's first.
symbols=$source_dir/packaging/debian/libtonkelwerk1.symbols
check_symbols() {
  dpkg-gensymbols -c4 -plibtonkelwerk1 -v"$TONKELWERK_VERSION+next" -P"$lib_root" -I"$1" -O"$2" \
    >"$work/symbols.log" 2>&1
}
check_symbols "$symbols" "$work/symbols" ||
  fail "the library's symbols differ from $symbols: $(cat "$work/symbols.log")"
cmp "$work/symbols" "$work/lib-control/symbols" || fail "libtonkelwerk1's symbols file is not dpkg-gensymbols'"
grep -v 'tonkelwerk_wav_size@Base' "$symbols" >"$work/one-unlisted.symbols"
! check_symbols "$work/one-unlisted.symbols" /dev/null || fail "an unlisted symbol passes the symbols check"
{ cat "$symbols"; echo " tonkelwerk_lost_function@Base $TONKELWERK_VERSION"; } >"$work/one-lost.symbols"
! check_symbols "$work/one-lost.symbols" /dev/null || fail "a lost symbol passes the symbols check"
appstreamcli validate --no-net "$root/usr/share/metainfo/$app_id.metainfo.xml" >/dev/null ||
  fail "appstreamcli rejects the metadata"

# Every option that --help names is in the manual page.
check_man_page() {
  local program=$1 page=$2 text option
  text=$(MANWIDTH=200 man -l "$page" 2>/dev/null | sed 's/[‐−]/-/g')
  for option in $("$program" --help | grep -oE '(^|[ ,(|])--?[a-z][a-z0-9-]*' | tr -d ' ,(|' | sort -u); do
    grep -qE -- "(^|[^a-z-])$option([^a-z-]|$)" <<<"$text" ||
      fail "$(basename "$page") does not name $option"
  done
}
check_man_page "$root/usr/bin/tonkelwerk" "$root/usr/share/man/man1/tonkelwerk.1.gz"
check_man_page "$root/usr/bin/tonkelwerk-render" "$root/usr/share/man/man1/tonkelwerk-render.1.gz"

# The compilers' version strings are no part of a package.
while read -r file; do
  if readelf -S --wide "$file" 2>/dev/null | grep -q ' \.comment '; then
    fail "${file#"$work"/} keeps its .comment section"
  fi
done < <(find "$root" "$lib_root" "$dev_root" -type f \( -perm -u+x -o -name '*.a' -o -name '*.so.*' \))

# Hardened, the renderer still writes the release build's bytes.
for knobs in "--start 30 --end 200 --freq 164 --rustle 300 --cutter 90 --len 120 --seed 11" \
  "--freq 120 --len 40 --seed 7" "--start 355 --end 5 --freq 1 --rustle 359 --cutter 180 --len 359 --seed 0"; do
  read -ra options <<<"$knobs"
  "$root/usr/bin/tonkelwerk-render" "${options[@]}" -o "$work/packaged.wav"
  "$build/cli/tonkelwerk-render" "${options[@]}" -o "$work/built.wav"
  cmp "$work/packaged.wav" "$work/built.wav" || fail "the packaged renderer renders other bytes: $knobs"
done

# The .pc file names where the package puts the files; a sysroot moves them.
pc_dir=$dev_root/usr/$lib/pkgconfig
for variable in includedir=/usr/include libdir=/usr/$lib; do
  for pc in tonkelwerk-sound tonkelwerk; do
    got=$(PKG_CONFIG_PATH=$pc_dir pkg-config --variable="${variable%%=*}" $pc)
    [[ $got == "${variable#*=}" ]] || fail "$pc.pc: ${variable%%=*} is $got"
  done
done
PKG_CONFIG_SYSROOT_DIR=$dev_root "$here/consumer.sh" "$dev_root/usr" "$build/cli/tonkelwerk-render"

# The Python module: the same plain files for every Python 3 and every
# architecture, with no library of its own; the system's Python imports it
# from the package and renders the release build's bytes through the
# library of the very libtonkelwerk1 it depends on.
[[ $(dpkg-deb -f "$python_deb" Architecture) == all ]] || fail "python3-tonkelwerk is not Architecture: all"
[[ $(dpkg-deb -f "$python_deb" Depends) == *"libtonkelwerk1 (= $TONKELWERK_VERSION)"* ]] ||
  fail "python3-tonkelwerk does not depend on this very libtonkelwerk1"
python_root=$work/python-root
dpkg-deb -x "$python_deb" "$python_root"
modules=$python_root/usr/lib/python3/dist-packages
[[ $(cd "$python_root" && find . -type f | sort) == \
  "$(printf '%s\n' ./usr/lib/python3/dist-packages/tonkelwerk/__init__.py \
    ./usr/lib/python3/dist-packages/tonkelwerk/py.typed ./usr/share/doc/python3-tonkelwerk/changelog.gz \
    ./usr/share/doc/python3-tonkelwerk/copyright)" ]] ||
  fail "python3-tonkelwerk holds other files: $(dpkg-deb -c "$python_deb")"
env -u TONKELWERK_LIBRARY PYTHONPATH="$modules" PYTHONDONTWRITEBYTECODE=1 \
  LD_LIBRARY_PATH="$lib_root/usr/$lib" /usr/bin/python3 -c '
import sys, tonkelwerk
assert tonkelwerk.__file__.startswith(sys.argv[1]), tonkelwerk.__file__
open(sys.argv[2], "wb").write(tonkelwerk.render(freq=120, len=40, seed=7))' \
  "$modules" "$work/python.wav" || fail "the packaged Python module does not render"
"$build/cli/tonkelwerk-render" --freq 120 --len 40 --seed 7 -o "$work/built.wav"
cmp "$work/python.wav" "$work/built.wav" || fail "the packaged Python module renders other bytes"

# The window of the packaged program belongs to the desktop entry: its class
# is the entry's StartupWMClass, so the desktop groups it under the icon.
source "$here/../e2e/xvfb_session.sh"
program_pid=""
cleanup() {
  if [[ -n $program_pid ]]; then kill -9 "$program_pid" 2>/dev/null || true; fi
  xvfb_stop
}
trap cleanup EXIT
xvfb_start "$work/xvfb.log" || fail "Xvfb did not start"
SDL_AUDIODRIVER=dummy QT_QPA_PLATFORM=xcb "$root/usr/bin/tonkelwerk" >"$work/program.log" 2>&1 &
program_pid=$!
window=$(timeout 20 xdotool search --sync --onlyvisible --name '^Tonkelwerk 1\.00$' | head -1) ||
  fail "the packaged program's window did not appear"
class=$(xprop -id "$window" WM_CLASS | awk -F'"' '{print $4}')
wanted=$(sed -n 's/^StartupWMClass=//p' "$root/usr/share/applications/$app_id.desktop")
[[ -n $class && $class == "$wanted" ]] || fail "window class '$class', StartupWMClass '$wanted'"
python3 "$here/../e2e/x11_close_window.py" "$window"
status=0
wait "$program_pid" || status=$?
program_pid=""
((status == 0)) || fail "the packaged program ended with status $status"
echo "PASS: the four packages"
