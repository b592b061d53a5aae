#!/usr/bin/env bash
# Installs what is missing, runs each fuzz target for a bounded time (under a minute in all), then
# builds with warnings as errors under AddressSanitizer and UndefinedBehaviorSanitizer and runs
# every test headless.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/install-deps.sh --tests

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
ctest --preset fuzz

cmake --preset test >/dev/null
cmake --build --preset test
ctest --preset test
