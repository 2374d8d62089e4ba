#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Makes a PulseAudio sink named lexidrill_null that plays into nothing, so
# sound can be played and recorded without a sound card (its monitor source,
# lexidrill_null.monitor, hears everything played on it). Sourced by test.sh:
# exports XDG_RUNTIME_DIR, PULSE_SERVER and PULSE_SINK, which the tests and
# the speech daemon they start inherit.
#
# With no server running, it starts one for this user; as root that needs
# only a private runtime folder (the daemon warns and runs). A server that is
# already running (a desktop's) keeps its default sink: the null sink is
# added to it and PULSE_SINK sends the tests' sound there.
if [ -z "${XDG_RUNTIME_DIR:-}" ] || ! mkdir -p "$XDG_RUNTIME_DIR" 2>/dev/null; then
    export XDG_RUNTIME_DIR="/tmp/lexidrill-runtime-$(id -u)"
    mkdir -p "$XDG_RUNTIME_DIR"
fi
chmod 700 "$XDG_RUNTIME_DIR"
export XDG_RUNTIME_DIR
export PULSE_SERVER="${PULSE_SERVER:-unix:$XDG_RUNTIME_DIR/pulse/native}"
export PULSE_SINK="${PULSE_SINK:-lexidrill_null}"

if ! pactl info >/dev/null 2>&1; then
    lexidrill_pulse_log="$XDG_RUNTIME_DIR/lexidrill-pulseaudio.log"
    pulseaudio --daemonize=yes --system=no --exit-idle-time=-1 --disallow-exit -n \
        --log-target="file:$lexidrill_pulse_log" \
        --load="module-native-protocol-unix auth-anonymous=1" \
        --load="module-null-sink sink_name=lexidrill_null sink_properties=device.description=Lexidrill-null" \
        --load="module-always-sink" || true
    for _ in $(seq 1 50); do
        pactl info >/dev/null 2>&1 && break
        sleep 0.1
    done
    pactl set-default-sink lexidrill_null >/dev/null 2>&1 || true
fi

if ! pactl list short sinks 2>/dev/null | grep -q lexidrill_null; then
    pactl load-module module-null-sink sink_name=lexidrill_null >/dev/null 2>&1 || true
fi
if ! pactl list short sinks 2>/dev/null | grep -q lexidrill_null; then
    echo "sound-server.sh: no sound server with the lexidrill_null sink; the audio tests will fail" \
        "(see ${lexidrill_pulse_log:-the log of the running server})" >&2
fi
