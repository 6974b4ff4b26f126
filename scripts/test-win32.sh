#!/usr/bin/env bash
# Builds the Windows program with MinGW-w64 (CMake preset win32) and runs its
# tests under Wine: the unit tests, then the program end to end in an X
# server of its own. Installs what it needs first, from Debian's packages.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh win32

echo "== win32 build"
cmake --preset win32 >/dev/null
cmake --build --preset win32 -j "$(nproc)"
echo "== win32 tests under Wine"
ctest --preset win32 -j "$(nproc)"
