#!/usr/bin/env bash
# Builds the Debian package as tools/package.sh does and checks it: lintian reports no error and no
# warning; the manual pages (English and German), documents, examples, menu entries and AppStream
# metadata are in it and valid; nothing a developer package would hold is; and packaging the same
# build again, after its files have been touched and under another umask, gives the same bytes.
# Usage: package_test.sh SOURCE_DIR
set -euo pipefail
cd "$1"
work=$(mktemp -d /tmp/kd-package-XXXXXX)
trap 'rm -rf "$work"' EXIT

tools/package.sh >"$work/package.log" 2>&1 || { cat "$work/package.log"; exit 1; }
deb=$(ls build/release/kundendisplay-test_*_amd64.deb)
cp "$deb" "$work/first.deb"

contents=$(dpkg-deb -c "$deb")
doc=usr/share/doc/kundendisplay-test
for file in usr/share/man/man1/kundendisplay-test.1.gz usr/share/man/man1/kundendisplay-sim.1.gz \
            usr/share/man/de/man1/kundendisplay-test.1.gz \
            usr/share/man/de/man1/kundendisplay-sim.1.gz \
            $doc/copyright $doc/changelog.gz $doc/README.md.gz $doc/README.kundendisplay-sim.md.gz \
            $doc/examples/epson_session.rec \
            usr/share/applications/kundendisplay-test.desktop \
            usr/share/applications/kundendisplay-sim.desktop \
            usr/share/metainfo/example.kundendisplay_test.kundendisplay_test.metainfo.xml \
            usr/share/metainfo/example.kundendisplay_test.kundendisplay_sim.metainfo.xml; do
    grep -q " \./$file\$" <<<"$contents" || { echo "not in the package: $file"; exit 1; }
done
if grep -E ' \./usr/include/| \./usr/share/man/man1/.*\.de\.' <<<"$contents"; then
    echo "the package holds files it should not (above)"; exit 1
fi
if dpkg-deb -I "$deb" postinst >/dev/null 2>&1; then
    echo "the package runs a postinst script:"; dpkg-deb -I "$deb" postinst; exit 1
fi

# Menu entries and AppStream metadata as the package holds them.
dpkg-deb -x "$deb" "$work/root"
desktop-file-validate "$work"/root/usr/share/applications/*.desktop
appstreamcli validate --no-net "$work"/root/usr/share/metainfo/*.metainfo.xml
# The English manual pages are English, the German ones German.
zgrep -q '^\.SH DESCRIPTION' "$work"/root/usr/share/man/man1/kundendisplay-sim.1.gz ||
    { echo "man1/kundendisplay-sim.1 is not the English page"; exit 1; }
zgrep -q '^\.SH BESCHREIBUNG' "$work"/root/usr/share/man/de/man1/kundendisplay-sim.1.gz ||
    { echo "de/man1/kundendisplay-sim.1 is not the German page"; exit 1; }

# Nothing of the folder the package was built in is in it: the programs find their library by
# the layout they are installed in.
if built_in=$(grep -rlF "$PWD/build" "$work/root"); then
    echo "the build folder $PWD/build is named in:"; echo "$built_in"; exit 1
fi

lintian --fail-on error,warning "$deb"
echo "lintian: no error, no warning on $(basename "$deb")"

# Every time in the package is the last commit's, and no compressed file keeps a time of its own.
epoch=$(git log -1 --format=%ct 2>/dev/null || stat -c %Y data/changelog)
dpkg-deb --ctrl-tarfile "$deb" >"$work/control.tar"
dpkg-deb --fsys-tarfile "$deb" >"$work/data.tar"
for tarball in control data; do
    stray=$(tar -tv --full-time --utc -f "$work/$tarball.tar" |
        grep -v " $(date -u -d "@$epoch" '+%Y-%m-%d %H:%M:%S') " || true)
    [[ -z "$stray" ]] || { echo "$tarball.tar: times other than the last commit's:"; echo "$stray"; exit 1; }
done
while IFS= read -r gz; do
    [[ "$(od -An -tx1 -j4 -N4 "$gz" | tr -d ' ')" == 00000000 ]] ||
        { echo "${gz#"$work"/root/} keeps a time stamp"; exit 1; }
done < <(find "$work/root" -name '*.gz')

# The same build packaged again, its files touched and under another umask: the same bytes.
sleep 1
find build/release \( -path '*/CMakeFiles' -o -path '*/_CPack_Packages' \) -prune -o -type f \
    \( -name 'kundendisplay-test' -o -name 'kundendisplay-sim' -o -name '*.so' -o -name '*.gz' \
       -o -name '*.desktop' -o -name '*.metainfo.xml' \) -print0 | xargs -0 touch
(umask 0002 && tools/package.sh >"$work/package.log" 2>&1) || { cat "$work/package.log"; exit 1; }
if ! cmp "$work/first.deb" "$deb"; then
    diff <(dpkg-deb -c "$work/first.deb") <(dpkg-deb -c "$deb") || true
    exit 1
fi
echo "packaged twice: byte-identical"
