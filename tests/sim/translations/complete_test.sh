#!/usr/bin/env bash
# Every text the virtual display shows (window, command line, inputs, headless stream, picture) has
# its German translation: lupdate run over the same folders as sim/CMakeLists.txt's glob, against a
# copy of the .ts file, finds no text that is new or unfinished.
# Usage: complete_test.sh LUPDATE SIM_SOURCE_DIR
set -euo pipefail
lupdate=$1 sim=$2
work=$(mktemp -d /tmp/kd-ts-XXXXXX)
trap 'rm -rf "$work"' EXIT
for ts in "$sim"/translations/*.ts; do
    cp "$ts" "$work/check.ts"
    "$lupdate" -silent -no-obsolete -locations none -I "$sim" \
        "$sim/app" "$sim/inputs" "$sim/headless" "$sim/picture" "$sim/window" -ts "$work/check.ts"
    if grep -B2 'type="unfinished"' "$work/check.ts"; then
        echo "$(basename "$ts"): the texts above have no translation"
        exit 1
    fi
    echo "$(basename "$ts"): complete ($(grep -c '<source>' "$work/check.ts") texts)"
done
