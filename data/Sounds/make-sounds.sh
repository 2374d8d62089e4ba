#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Remakes the two feedback sounds with sox: right.wav is a rising two-note
# chime (E5 then B5, each a sine with a soft octave overtone and a decaying
# tail), wrong.wav a low falling buzz (a filtered sawtooth gliding 220 Hz down
# to 110 Hz). Both are 16-bit PCM mono 22050 Hz and shorter than one second.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"
format=(-r 22050 -c 1 -b 16 -e signed-integer)
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

note() { # name frequency overtone seconds fade-out-seconds
    sox -n -r 22050 -c 2 "$work/$1-2ch.wav" synth "$4" sine "$2" sine "$3"
    sox "$work/$1-2ch.wav" "${format[@]}" "$work/$1.wav" remix 1,2v0.3 \
        fade p 0.005 "$4" "$5" gain -n -4
}
note low 659.26 1318.51 0.16 0.14
note high 987.77 1975.53 0.42 0.40
sox "$work/low.wav" "$work/high.wav" "${format[@]}" right.wav

sox -n "${format[@]}" wrong.wav synth 0.45 sawtooth 220-110 lowpass 900 \
    fade q 0.01 0.45 0.12 gain -n -6
