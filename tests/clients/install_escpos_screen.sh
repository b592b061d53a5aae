#!/usr/bin/env bash
# Installs the npm package escpos-screen afresh into CLIENTS_DIR/escpos-screen, with npm's cache
# beside it (in the build tree), for the client rows that drive the virtual display with it.
# Usage: install_escpos_screen.sh CLIENTS_DIR
set -euo pipefail
[[ $# -eq 1 ]] || { echo "Usage: install_escpos_screen.sh CLIENTS_DIR" >&2; exit 2; }
version=3.0.0-alpha.6
clients="$1"
mkdir -p "$clients"
staging=$(mktemp -d "$clients/escpos-screen.XXXXXX")
trap 'rm -rf "$staging"' EXIT
if ! npm install --prefix "$staging" --cache "$clients/npm-cache" --prefer-offline \
        --no-audit --no-fund --no-save --loglevel=error "escpos-screen@$version"; then
    echo "install_escpos_screen.sh: npm could not install escpos-screen@$version (above)" >&2
    exit 1
fi
rm -rf "$clients/escpos-screen"
mv "$staging" "$clients/escpos-screen"
trap - EXIT
echo "escpos-screen $(node -p "require('$clients/escpos-screen/node_modules/escpos-screen/package.json').version") in $clients/escpos-screen"
