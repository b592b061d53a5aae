#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, only those that are missing.
# Usage: tools/install-deps.sh [--tests | --package | --bench]
set -euo pipefail

# Qt's German texts (the text boxes' context menu) and the SVG plugin that draws the window icon are
# needed at run time as well.
packages=(cmake ninja-build g++ qt6-base-dev qt6-serialport-dev libgl-dev fonts-dejavu-core
          qt6-translations-l10n libqt6svg6)
if [[ "${1:-}" == "--tests" ]]; then
    # clang and its runtime for the libFuzzer targets; an X server, the accessibility bus and its
    # Python bindings, and the desktop-file checker for the test of the installed tree.
    packages+=(libgtest-dev clang xvfb x11-utils dbus-x11 at-spi2-core python3-pyatspi
               desktop-file-utils lintian dpkg-dev file)
elif [[ "${1:-}" == "--package" ]]; then
    # dpkg-shlibdeps reads the package's dependencies off the linked libraries.
    packages+=(dpkg-dev file)
elif [[ "${1:-}" == "--bench" ]]; then
    packages+=(libbenchmark-dev)
fi

sudo=()
[[ "$(id -u)" -ne 0 ]] && sudo=(sudo)
updated=false

install_missing() {
    local missing=() package
    for package in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
            missing+=("$package")
        fi
    done
    [[ ${#missing[@]} -eq 0 ]] && return 0
    echo "Installing: ${missing[*]}"
    if [[ "$updated" == false ]]; then
        "${sudo[@]}" apt-get update -qq
        updated=true
    fi
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends \
        "${missing[@]}"
}

install_missing "${packages[@]}"
if [[ "${1:-}" == "--tests" ]]; then
    # The fuzzers link clang's own runtime: the one of the clang version that was installed.
    clang_major=$(clang -dumpversion | cut -d. -f1)
    install_missing "libclang-rt-${clang_major}-dev"
fi
