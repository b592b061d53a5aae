#!/usr/bin/env bash
# Installs the build tree under a temporary DESTDIR, checks the installed files, then starts the
# installed headless display through the installed examples, with no X server, then the
# installed tool in a real X server and drives it through the accessibility tree: first with no
# display anywhere (both scans fail, and the Com-Port box says why), then with the installed virtual
# display, which it must reach over USB and over Com with no setup.
# Usage: installed_tool_test.sh BUILD_DIR
set -euo pipefail
build=$1
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d /tmp/kd-install-XXXXXX)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT

DESTDIR="$work/root" cmake --install "$build" --prefix /usr >/dev/null
root="$work/root/usr"
for file in share/man/man1/kundendisplay-test.1.gz share/man/man1/kundendisplay-sim.1.gz \
            bin/kundendisplay-test bin/kundendisplay-sim lib/kundendisplay/kundendisplay-sim-gui \
            lib/kundendisplay/usb/libcd722dusb.so \
            share/applications/kundendisplay-test.desktop \
            share/applications/kundendisplay-sim.desktop \
            share/icons/hicolor/scalable/apps/kundendisplay-test.svg \
            share/icons/hicolor/scalable/apps/kundendisplay-sim.svg \
            share/man/de/man1/kundendisplay-test.1.gz share/man/de/man1/kundendisplay-sim.1.gz \
            share/doc/kundendisplay-test/README.md.gz \
            share/doc/kundendisplay-test/examples/epson_session.rec; do
    [[ -e "$root/$file" ]] || { echo "not installed: $file"; exit 1; }
done
desktop-file-validate "$root"/share/applications/*.desktop
# The shipped example plays as the recorded session it is.
ASAN_OPTIONS=detect_leaks=0 "$root/bin/kundendisplay-sim" --print --emulation epson \
    "$root/share/doc/kundendisplay-test/examples/epson_session.rec" >"$work/example.out"
diff "$here/../sim/data/epson_session.expected" "$work/example.out" ||
    { echo "the installed example does not give the recorded session's screen"; exit 1; }
# Both installed programs tell their version with no window system at all.
for program in kundendisplay-test kundendisplay-sim; do
    version=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$root/bin/$program" --version)
    [[ "$version" =~ ^$program\ [0-9]+\.[0-9]+\.[0-9]+$ ]] || {
        echo "$program --version said: $version"; exit 1; }
done

# The installed headless display needs no X server: the installed examples start it, drive it
# over TCP and read its stream, as a till program's test suite would.
for example in headless-display.sh headless_display.py; do
    installed="$root/share/doc/kundendisplay-test/examples/$example"
    [[ -e "$installed" ]] || { echo "not installed: examples/$example"; exit 1; }
    interpreter=bash
    [[ $example == *.py ]] && interpreter=/usr/bin/python3
    env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM ASAN_OPTIONS=detect_leaks=0 \
        KUNDENDISPLAY_SIM="$root/bin/kundendisplay-sim" "$interpreter" "$installed" \
        >"$work/example.log" 2>&1 || { echo "installed example $example failed:"; cat "$work/example.log"; exit 1; }
done

# A display of its own, a session bus and the accessibility bus.
# Xvfb picks a free display number itself and writes it to the given descriptor when ready;
# -noreset keeps it from resetting (and refusing connections) when its first client leaves.
Xvfb -displayfd 3 -noreset -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do [[ -s "$work/display" ]] && break; sleep 0.1; done
[[ -s "$work/display" ]] || { echo "Xvfb did not start"; cat "$work/xvfb.log"; exit 1; }
export DISPLAY=:$(head -n1 "$work/display")
xdpyinfo >/dev/null || { echo "no X server on $DISPLAY"; exit 1; }
eval "$(dbus-launch --sh-syntax)"
pids+=("$DBUS_SESSION_BUS_PID")
/usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
pids+=($!)

export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_QPA_PLATFORM=xcb
unset LD_LIBRARY_PATH
# Leaks are checked by the unit tests; here only the programs' behaviour counts.
export ASAN_OPTIONS=detect_leaks=0

cd "$work" # nothing may be loaded from the current directory
# Every port number leads nowhere through the port map, so that no real device is touched.
ports="$XDG_RUNTIME_DIR/kundendisplay-ports"
mkdir -m 700 "$ports"
for n in $(seq 20); do ln -s "/nonexistent/ttyKD$n" "$ports/COM$n"; done
"$root/bin/kundendisplay-test" >"$work/tool.log" 2>&1 &
tool=$!
pids+=("$tool")

status=0
/usr/bin/python3 "$here/click_through.py" failed-scans "$ports" || status=$?
if [[ $status -eq 0 ]]; then
    rm "$ports"/COM*
    "$root/bin/kundendisplay-sim" >"$work/sim.log" 2>&1 &
    pids+=($!)
    /usr/bin/python3 "$here/click_through.py" display || status=$?
fi
if [[ $status -eq 0 ]]; then
    # "Ende" ends the tool with status 0.
    wait "$tool" || { echo "kundendisplay-test ended with status $?"; status=1; }
fi
[[ $status -eq 0 ]] || {
    echo "--- tool"; cat "$work/tool.log"; echo "--- sim"; cat "$work/sim.log" 2>/dev/null || true
}
exit $status
