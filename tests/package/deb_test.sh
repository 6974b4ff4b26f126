#!/usr/bin/env bash
# The Debian packages as a user gets them: builds both with CPack (as
# scripts/package.sh does), checks them with lintian (no errors), unpacks each
# with dpkg-deb -x into a root of its own (nothing is installed on this
# machine) and checks what is inside: every file in its place, icons of the
# right sizes, metadata that AppStream accepts, manual pages that name every
# option of --help, a renderer that writes the build tree's bytes, a program
# whose window class is the desktop entry's StartupWMClass, and an engine
# package that two tiny games build against (consumer.sh).
# Usage: deb_test.sh BUILD_DIR WORK_DIR   (environment: TONKELWERK_VERSION)
set -euo pipefail
build=$(realpath "$1")
work=$(realpath -m "$2")
here=$(dirname "$(realpath "$0")")
: "${TONKELWERK_VERSION:?}"
rm -rf "$work"
mkdir -p "$work"

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work/dist" >/dev/null
program_deb=$work/dist/tonkelwerk_${TONKELWERK_VERSION}_amd64.deb
dev_deb=$work/dist/libtonkelwerk-dev_${TONKELWERK_VERSION}_amd64.deb
ls -l "$program_deb" "$dev_deb" || fail "a package is missing"

echo "== lintian"
lintian --fail-on error --tag-display-limit 0 "$program_deb" "$dev_deb" ||
  fail "lintian found errors"

root=$work/root
dev_root=$work/dev-root
dpkg-deb -x "$program_deb" "$root"
dpkg-deb -x "$dev_deb" "$dev_root"
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
for file in include/tonkelwerk/sound_engine.h include/tonkelwerk/settings_line.h include/tonkelwerk/presets.h \
  lib/libtonkelwerk_sound.a lib/cmake/Tonkelwerk/TonkelwerkConfig.cmake \
  lib/cmake/Tonkelwerk/TonkelwerkConfigVersion.cmake lib/pkgconfig/tonkelwerk-sound.pc \
  share/doc/libtonkelwerk-dev/copyright; do
  [[ -s $dev_root/usr/$file ]] || fail "libtonkelwerk-dev has no usr/$file"
done
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

knobs=(--start 30 --end 200 --freq 164 --rustle 300 --cutter 90 --len 120 --seed 11)
"$root/usr/bin/tonkelwerk-render" "${knobs[@]}" -o "$work/packaged.wav"
"$build/cli/tonkelwerk-render" "${knobs[@]}" -o "$work/built.wav"
cmp "$work/packaged.wav" "$work/built.wav" || fail "the packaged renderer renders other bytes"

"$here/consumer.sh" "$dev_root/usr" "$build/cli/tonkelwerk-render"

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
echo "PASS: both packages"
