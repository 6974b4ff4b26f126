#!/usr/bin/env bash
# Builds the web page with Emscripten (CMake preset web) and runs its tests:
# the unit tests as WebAssembly under Node, then the page in headless
# Chromium. The page's sounds are compared with tonkelwerk-render of the
# release build, which is built first when missing.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh web

if [[ ! -x build/release/cli/tonkelwerk-render ]]; then
  cmake --preset release >/dev/null
  cmake --build --preset release -j "$(nproc)" --target tonkelwerk-render
fi
echo "== web build"
cmake --preset web >/dev/null
cmake --build --preset web -j "$(nproc)"
echo "== web tests under Node and headless Chromium"
ctest --preset web
