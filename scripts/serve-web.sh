#!/usr/bin/env bash
# Builds the web page (CMake preset web, Emscripten) and serves it on
# http://localhost:8000 until Ctrl+C, gzip-compressed to browsers that take
# it (scripts/serve_web.py). Installs what it needs first.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh web

echo "== web build"
cmake --preset web >/dev/null
cmake --build --preset web -j "$(nproc)" --target tonkelwerk_page
echo "== Tonkelwerk on http://localhost:8000 (Ctrl+C stops)"
# Only this machine reaches the page.
exec python3 scripts/serve_web.py build/web 8000
