#!/usr/bin/env bash
# A till program's test against the headless virtual display, in plain bash: start the display,
# read where it listens from its ready event, let the till program send its bytes over TCP, wait
# for the screen event that must follow, end the display.
# KUNDENDISPLAY_SIM names the program when it is not on PATH.
set -euo pipefail
sim=${KUNDENDISPLAY_SIM:-kundendisplay-sim}

# --com 0 --no-usb: nothing per-user, so that parallel tests each start their own display.
coproc DISPLAY_SIM { exec "$sim" --headless --com 0 --no-usb --tcp 127.0.0.1:0; }
display_pid=$DISPLAY_SIM_PID
exec {events}<&"${DISPLAY_SIM[0]}"
trap 'kill -TERM "$display_pid" 2>/dev/null || true' EXIT

read -r -t 10 ready <&"$events"
port=$(sed -n 's/.*"tcp":"127\.0\.0\.1:\([0-9]*\)".*/\1/p' <<<"$ready")
echo "Display bereit an 127.0.0.1:$port"

# Here the till program under test would connect; this one sends what a till sends for a total.
exec {till}<>"/dev/tcp/127.0.0.1/$port"
printf '\x0cGesamt:\r\n               11,50' >&"$till"

expected='"lines":["Gesamt:             ","               11,50"]'
while read -r -t 5 event <&"$events"; do
    if [[ $event == *'"event":"screen"'* && $event == *"$expected"* ]]; then
        echo "Display zeigt: Gesamt: 11,50"
        exec {till}>&-
        kill -TERM "$display_pid"
        wait "$display_pid"
        trap - EXIT
        exit 0
    fi
done
echo "Das Display zeigt nicht, was es zeigen soll; zuletzt: ${event:-nichts}" >&2
exit 1
