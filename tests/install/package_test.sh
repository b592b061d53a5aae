#!/usr/bin/env bash
# Builds the Debian package as tools/package.sh does and checks it with lintian: no error and no
# warning, and the manual pages and documents a package needs are in it.
# Usage: package_test.sh SOURCE_DIR
set -euo pipefail
cd "$1"
tools/package.sh >/dev/null 2>&1 || tools/package.sh
deb=$(ls build/release/kundendisplay-test_*_amd64.deb)
contents=$(dpkg-deb -c "$deb")
for file in usr/share/man/man1/kundendisplay-test.1.gz usr/share/man/man1/kundendisplay-sim.1.gz \
            usr/share/doc/kundendisplay-test/copyright usr/share/doc/kundendisplay-test/changelog.gz; do
    grep -q " \./$file\$" <<<"$contents" || { echo "not in the package: $file"; exit 1; }
done
if dpkg-deb -I "$deb" postinst >/dev/null 2>&1; then
    echo "the package runs a postinst script:"; dpkg-deb -I "$deb" postinst; exit 1
fi
# Nothing of the folder the package was built in is in it: the programs find their library by
# the layout they are installed in.
unpacked=$(mktemp -d /tmp/kd-package-XXXXXX)
trap 'rm -rf "$unpacked"' EXIT
dpkg-deb -x "$deb" "$unpacked"
if built_in=$(grep -rlF "$PWD/build" "$unpacked"); then
    echo "the build folder $PWD/build is named in:"; echo "$built_in"; exit 1
fi
lintian --fail-on error,warning "$deb"
echo "lintian: no error, no warning on $(basename "$deb")"
