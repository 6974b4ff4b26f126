#!/usr/bin/env bash
# Installs everything the build, the program and the tests need on Debian 12,
# from Debian's own packages. Does nothing when all of them are there already.
# Usage: scripts/install-deps.sh [win32|web]   (win32: also the Windows cross
# build, its installer and Wine to run them; web: also Emscripten, Node and
# Chromium)
set -euo pipefail

packages=(
  # build
  build-essential cmake ninja-build pkg-config
  # sound engine tests and benchmarks
  libgtest-dev libgmock-dev libbenchmark-dev python3 sox
  # the fuzz targets under libFuzzer (scripts/fuzz.sh)
  clang libclang-rt-14-dev
  # sound playback
  libsdl2-dev
  # tonkelwerk-render's other formats: FLAC and Ogg Vorbis, resampling
  libsndfile1-dev libsoxr-dev libogg-dev
  # the desktop program
  qt6-base-dev fonts-liberation2 fontconfig
  # tests in a real window, and of its clipboard
  xvfb xauth xdotool x11-utils imagemagick xclip
  # a window manager that frames the window, for the start-up test
  openbox
  # the packages: icons drawn at build time, their checks, the manual pages
  librsvg2-bin dpkg-dev lintian appstream man-db
  # the Python module: its wheel built with Debian's own tools, its tests
  # (numpy optional), and the virtual environment the wheel is installed into
  python3-pip python3-setuptools python3-wheel python3-pytest python3-numpy python3-venv
)
if [[ "${1:-}" == win32 ]]; then
  # the cross compiler (posix threads), GoogleTest's sources, and Wine
  packages+=(g++-mingw-w64-x86-64-posix googletest wine wine64)
  # the Windows packages: the installer's compiler, and the zip read back
  packages+=(nsis zip unzip)
fi
if [[ "${1:-}" == web ]]; then
  # the compiler with its optimizer's parser, GoogleTest's sources, the
  # browser with the DevTools client of the page tests, and TypeScript's
  # compiler for the npm package's types
  packages+=(emscripten node-acorn nodejs googletest chromium python3-websocket node-typescript)
  # npm packs the npm package; a Node.js from elsewhere brings its own.
  command -v npm >/dev/null || packages+=(npm)
fi

# The Windows renderer's format libraries are built from the very sources of
# the Linux ones, so both write the same bytes: apt-get source needs the
# source entries of the suites the binary packages come from.
add_debian_sources() {
  local list=/etc/apt/sources.list.d/debian.sources
  local sources=/etc/apt/sources.list.d/debian-src.sources
  grep -qs '^Types:.*deb-src' "$list" "$sources" && return 0
  [[ -f "$list" ]] || { echo "no $list to take the source entries from" >&2; return 1; }
  echo "Adding the source entries of $list"
  sed 's/^Types: deb$/Types: deb-src/' "$list" | "${sudo[@]}" tee "$sources" >/dev/null
  "${sudo[@]}" apt-get update -qq
}

sudo=()
[[ $(id -u) -eq 0 ]] || sudo=(sudo)
if [[ "${1:-}" == win32 ]]; then
  add_debian_sources
fi

missing=()
for package in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$package")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
