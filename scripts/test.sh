#!/usr/bin/env bash
# Builds and runs every test: the Linux program once optimised (with its
# packages) and once under AddressSanitizer and UBSan, the engine library
# under ThreadSanitizer, then the Windows program and its packages
# cross-built and run under Wine, then the web page built with Emscripten and
# run under Node and headless Chromium. Installs what it needs first.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh win32

jobs=$(nproc)
for preset in release asan; do
  echo "== $preset build"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
done
echo "== optimised tests"
ctest --preset release -j "$jobs"
echo "== tests under AddressSanitizer and UBSan"
ctest --preset asan -j "$jobs"
# ThreadSanitizer only where there are threads: the engine library's test and
# the renderer's pipeline.
echo "== engine and pipeline tests under ThreadSanitizer"
cmake --preset tsan >/dev/null
cmake --build --preset tsan -j "$jobs"
ctest --preset tsan
scripts/test-win32.sh
scripts/test-web.sh
