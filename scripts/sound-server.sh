#!/usr/bin/env bash
# Starts a PulseAudio server with a null sink, so sound can be played and
# recorded without a sound card. Sourced: exports PULSE_SERVER.
lexidrill_runtime="${XDG_RUNTIME_DIR:-/tmp/lexidrill-runtime-$(id -u)}"
mkdir -p "$lexidrill_runtime" && chmod 700 "$lexidrill_runtime"
export XDG_RUNTIME_DIR="$lexidrill_runtime"
if ! pactl info >/dev/null 2>&1; then
    pulseaudio --daemonize=yes --exit-idle-time=-1 --disallow-exit -n \
        --load="module-native-protocol-unix" \
        --load="module-null-sink sink_name=lexidrill_null" \
        --load="module-always-sink" 2>/dev/null || true
    for _ in $(seq 1 50); do
        pactl info >/dev/null 2>&1 && break
        sleep 0.1
    done
fi
pactl set-default-sink lexidrill_null >/dev/null 2>&1 || true
