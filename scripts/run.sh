#!/usr/bin/env bash
# Builds Tonkelwerk and starts it. Installs what it needs first.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset release >/dev/null
# Only the program: the tests and benchmarks wait for scripts/test.sh.
cmake --build --preset release -j "$(nproc)" --target tonkelwerk
exec build/release/app/tonkelwerk "$@"
