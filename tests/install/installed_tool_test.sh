#!/usr/bin/env bash
# Installs the build tree under a temporary DESTDIR, checks the installed files, then starts the
# installed virtual display and the installed tool in a real X server and drives the tool through
# the accessibility tree: it must find its USB library by itself and reach the display.
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
for file in bin/kundendisplay-test bin/kundendisplay-sim lib/kundendisplay/libcd722dusb.so \
            share/applications/kundendisplay-test.desktop \
            share/applications/kundendisplay-sim.desktop \
            share/icons/hicolor/scalable/apps/kundendisplay-test.svg \
            share/icons/hicolor/scalable/apps/kundendisplay-sim.svg \
            share/doc/kundendisplay-test/README.md; do
    [[ -e "$root/$file" ]] || { echo "not installed: $file"; exit 1; }
done
desktop-file-validate "$root"/share/applications/*.desktop

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
"$root/bin/kundendisplay-sim" >"$work/sim.log" 2>&1 &
pids+=($!)
"$root/bin/kundendisplay-test" >"$work/tool.log" 2>&1 &
tool=$!
pids+=("$tool")

status=0
/usr/bin/python3 "$here/click_through.py" || status=$?
if [[ $status -eq 0 ]]; then
    # "Ende" ends the tool with status 0.
    wait "$tool" || { echo "kundendisplay-test ended with status $?"; status=1; }
fi
[[ $status -eq 0 ]] || { echo "--- tool"; cat "$work/tool.log"; echo "--- sim"; cat "$work/sim.log"; }
exit $status
