#!/usr/bin/env bash
# Installs what is missing, builds with warnings as errors under AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs every test headless.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/install-deps.sh --tests
cmake --preset test >/dev/null
cmake --build --preset test
ctest --preset test
