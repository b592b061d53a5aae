#!/usr/bin/env bash
# Installs what is missing and builds the Debian package build/release/kundendisplay-test_*.deb.
# Two runs on the same commit give byte-identical packages: every time stamp in the package, and
# in the resources compiled into the programs, is the last commit's (SOURCE_DATE_EPOCH), and the
# compressed documents carry no time of their own (gzip -n).
set -euo pipefail
cd "$(dirname "$0")/.."

tools/install-deps.sh --package
# Modes in the package (the archive's members, the folders) do not depend on the caller's umask;
# dpkg-buildpackage sets the same.
umask 0022
if [[ -z "${SOURCE_DATE_EPOCH:-}" ]]; then
    # Outside a git checkout, the changelog's last change stands in for the last commit.
    SOURCE_DATE_EPOCH=$(git log -1 --format=%ct 2>/dev/null || stat -c %Y data/changelog)
fi
export SOURCE_DATE_EPOCH
cmake --preset release >/dev/null
# The resource compiler writes the time into the programs; outputs compiled for another commit's
# time are compiled again.
stamp=build/release/source-date-epoch
if [[ "$(cat "$stamp" 2>/dev/null)" != "$SOURCE_DATE_EPOCH" ]]; then
    find build/release -name 'qrc_*.cpp' -delete
    echo "$SOURCE_DATE_EPOCH" >"$stamp"
fi
cmake --build --preset release
rm -f build/release/*.deb
(cd build/release && cpack -G DEB)
ls build/release/*.deb
