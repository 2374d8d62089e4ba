#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian packages that building, running and testing need,
# skipping those already installed. Sourced by run.sh and test.sh.
set -euo pipefail

LEXIDRILL_PACKAGES=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev qt6-speech-dev qt6-multimedia-dev qt6-declarative-dev
    libgl-dev libxkbcommon-dev qt6-qpa-plugins
    qt6-speech-speechd-plugin qt6-speech-flite-plugin
    speech-dispatcher speech-dispatcher-espeak-ng speech-dispatcher-flite flite
    gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-pulseaudio
    pulseaudio pulseaudio-utils sox
    fonts-liberation xdg-utils xvfb xauth at-spi2-core
    dbus-daemon python3-pyatspi gir1.2-atspi-2.0
    libbenchmark-dev clang libclang-rt-14-dev pocketsphinx pocketsphinx-en-us
    lintian desktop-file-utils appstream xdotool x11-utils
)

lexidrill_install_packages() {
    local missing=()
    local package
    for package in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q '^install ok installed$'; then
            missing+=("$package")
        fi
    done
    if [ ${#missing[@]} -eq 0 ]; then
        return 0
    fi
    echo "Installing: ${missing[*]}"
    local sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        sudo=(sudo)
    fi
    export DEBIAN_FRONTEND=noninteractive
    "${sudo[@]}" apt-get update -q
    "${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
}

lexidrill_install_packages "${LEXIDRILL_PACKAGES[@]}"
