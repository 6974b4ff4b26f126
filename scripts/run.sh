#!/usr/bin/env bash
# Builds Tonkelwerk and starts it. Installs what it needs first.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release -j "$(nproc)"
exec build/release/app/tonkelwerk "$@"
