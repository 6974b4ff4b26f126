#!/usr/bin/env bash
# Runs a program of the Windows build under Wine: CTest's emulator for the
# cross build. Usage: wine-run.sh PROGRAM.exe [ARGUMENTS...]
#
# The Wine prefix belongs to the build tree (BUILD/wine/prefix, BUILD being
# the folder with the CMakeCache.txt above the program), so a run never
# touches ~/.wine; TONKELWERK_WINEPREFIX names another one. It is made on
# first use, once, even when several tests start at the same time. The Wine
# server is kept alive between programs for 20 seconds, so that a run of
# many short tests does not start it anew each time.
set -euo pipefail

program=$1
shift

build=$(cd "$(dirname "$program")" && pwd)
while [[ ! -f $build/CMakeCache.txt && $build != / ]]; do build=$(dirname "$build"); done
export WINEPREFIX=${TONKELWERK_WINEPREFIX:-$build/wine/prefix}
export WINEDEBUG=-all
# No Mono and no Gecko: nothing here needs them, and asking for them would
# open a window.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}

mkdir -p "$(dirname "$WINEPREFIX")"
(
  flock 9
  if [[ ! -f $WINEPREFIX/system.reg ]]; then
    wineboot -i >/dev/null 2>&1 || true
    wineserver -w
  fi
) 9>"$WINEPREFIX.lock"
[[ -f $WINEPREFIX/system.reg ]] || { echo "wine-run.sh: no Wine prefix at $WINEPREFIX" >&2; exit 1; }

# Wine's own background processes (services, devices, desktop) outlive the
# program: started here, without the caller's output streams, they do not
# hold CTest's pipes open after the program has ended.
wineserver -p20 </dev/null >/dev/null 2>&1 || true
wineboot </dev/null >/dev/null 2>&1 || true
exec wine "$program" "$@"
