#!/usr/bin/env bash
# Installs what is missing and builds the Debian package build/release/kundendisplay-test_*.deb.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/install-deps.sh --package
cmake --preset release >/dev/null
cmake --build --preset release
rm -f build/release/*.deb
(cd build/release && cpack -G DEB)
ls build/release/*.deb
