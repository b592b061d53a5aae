#!/usr/bin/env bash
# Installs what is missing, builds an optimised tree with the benchmark and runs it.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/install-deps.sh --bench
cmake --preset bench >/dev/null
cmake --build --preset bench
build/bench/kundendisplay-bench "$@"
