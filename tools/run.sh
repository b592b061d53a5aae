#!/usr/bin/env bash
# Installs what is missing, builds the tool and starts it together with the virtual display.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release

build/release/kundendisplay-sim &
sim=$!
trap 'kill "$sim" 2>/dev/null || true' EXIT
sleep 0.5
build/release/kundendisplay-test
