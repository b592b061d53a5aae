#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, only those that are missing.
# Usage: tools/install-deps.sh [--tests | --package | --bench]
set -euo pipefail

# Qt's translation tools build the virtual display's German texts; at run time Qt's SVG plugin draws
# its window icon and Qt's own translations give Qt's texts in German.
packages=(cmake ninja-build g++ qt6-base-dev qt6-serialport-dev libgl-dev fonts-dejavu-core
          qt6-tools-dev qt6-l10n-tools qt6-tools-dev-tools libqt6svg6 qt6-translations-l10n)
if [[ "${1:-}" == "--tests" ]]; then
    # clang and its runtime for the libFuzzer targets; an X server, the accessibility bus and its
    # Python bindings, and the desktop-file checker for the test of the installed tree; the
    # AppStream checker for the package's metadata.
    packages+=(libgtest-dev clang xvfb x11-utils dbus-x11 at-spi2-core python3-pyatspi
               desktop-file-utils appstream lintian dpkg-dev file)
    # Real till software that drives the virtual display in tests/clients: the display server
    # LCDd (with its serialPOS driver) and npm for an ESC/POS customer-display library.
    packages+=(lcdproc python3-serial)
    command -v npm >/dev/null || packages+=(npm)
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

# LCDd is only ever started by the tests, in the foreground with their own configuration: the
# package must not start it as a system service when it is installed. A policy-rc.d that answers
# 101 (written for this run unless one exists) stops invoke-rc.d and deb-systemd-invoke; masking
# the unit afterwards keeps systemd from starting it at the next boot. A machine that had the
# package before is left as it was.
policy_written=false
remove_written_policy() {
    if [[ "$policy_written" == true ]]; then "${sudo[@]}" rm -f /usr/sbin/policy-rc.d; fi
}
trap remove_written_policy EXIT
lcdproc_was_missing=false
if [[ "${1:-}" == "--tests" ]] &&
    ! dpkg-query -W -f='${Status}' lcdproc 2>/dev/null | grep -q "install ok installed"; then
    lcdproc_was_missing=true
    if [[ ! -e /usr/sbin/policy-rc.d ]]; then
        printf '#!/bin/sh\nexit 101\n' | "${sudo[@]}" tee /usr/sbin/policy-rc.d >/dev/null
        "${sudo[@]}" chmod 755 /usr/sbin/policy-rc.d
        policy_written=true
    fi
fi

install_missing "${packages[@]}"
if [[ "${1:-}" == "--tests" ]]; then
    # The fuzzers link clang's own runtime: the one of the clang version that was installed.
    clang_major=$(clang -dumpversion | cut -d. -f1)
    install_missing "libclang-rt-${clang_major}-dev"
    if [[ "$lcdproc_was_missing" == true ]] && command -v systemctl >/dev/null; then
        "${sudo[@]}" systemctl mask lcdproc.service >/dev/null 2>&1 || true
    fi
fi
