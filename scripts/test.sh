#!/usr/bin/env bash
# Builds and runs every test: the Linux program once optimised and once under
# AddressSanitizer and UBSan, then the Windows program cross-built and run
# under Wine, then the web page built with Emscripten and run under Node and
# headless Chromium. Installs what it needs first.
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
scripts/test-win32.sh
scripts/test-web.sh
