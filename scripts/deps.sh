#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian packages that are missing, skipping those already
# installed. Sourced with what the caller is about to do:
#   source deps.sh run    building the program and running it (run.sh,
#                         package.sh)
#   source deps.sh test   that, and what the test command needs besides: the
#                         sound server, virtual display and accessibility bus
#                         of the tests, the benchmark library, clang with its
#                         sanitizer runtime, the package checks and the
#                         format check, and the reader of the PDF report (test.sh)
set -euo pipefail

# Building, then what the program loads at run time: the speech daemon and its
# voice, Qt's speech and window-system plugins, GStreamer's decoders and
# PulseAudio output, the fonts that stand in for Arial, and the opener of web
# addresses.
LEXIDRILL_RUN_PACKAGES=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev qt6-speech-dev qt6-multimedia-dev qt6-declarative-dev libqt6sql6-sqlite qt6-charts-dev
    libgl-dev libxkbcommon-dev qt6-qpa-plugins
    qt6-speech-speechd-plugin qt6-speech-flite-plugin
    speech-dispatcher speech-dispatcher-espeak-ng speech-dispatcher-flite flite flite1-dev
    gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-pulseaudio
    fonts-liberation xdg-utils
)

LEXIDRILL_TEST_PACKAGES=(
    pulseaudio pulseaudio-utils sox
    xvfb xauth at-spi2-core dbus-daemon python3-pyatspi gir1.2-atspi-2.0
    libbenchmark-dev clang libclang-rt-14-dev pocketsphinx pocketsphinx-en-us
    lintian desktop-file-utils appstream xdotool x11-utils clang-format poppler-utils
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

case "${1:-}" in
    run) lexidrill_install_packages "${LEXIDRILL_RUN_PACKAGES[@]}" ;;
    test) lexidrill_install_packages "${LEXIDRILL_RUN_PACKAGES[@]}" "${LEXIDRILL_TEST_PACKAGES[@]}" ;;
    *)
        echo "deps.sh: say what the packages are for: run or test" >&2
        return 2 2>/dev/null || exit 2
        ;;
esac
