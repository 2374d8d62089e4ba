#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs the real program on a virtual display inside a private D-Bus session
# with the accessibility bus and a private sound server, and plays it through
# AT-SPI as a screen reader user would (play.py). Usage: run.sh PROGRAM WORKDIR
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"

if [ -z "${DBUS_SESSION_BUS_ADDRESS:-}" ] || [ "${LEXIDRILL_PRIVATE_BUS:-}" != 1 ]; then
    export LEXIDRILL_PRIVATE_BUS=1
    exec dbus-run-session -- "$0" "$@"
fi

program="$1"
work="$2"
rm -rf "$work"
mkdir -p "$work/config/Marrowfen" "$work/runtime" "$work/data"
chmod 700 "$work/runtime"
# The practice history too starts empty, in the work folder.
export XDG_RUNTIME_DIR="$work/runtime" XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data"

# A word list whose name and word look like markup: both must reach the
# screen reader character for character.
list="$work/a&b <i>x.txt"
printf '<b>cat</b>\r\n' >"$list"
# Sounds on: each answer waits a second for its feedback sound.
printf '[Lexidrill]\nDictionary=%s\nOption1=True\nOption2=False\n' "$list" >"$work/config/Marrowfen/Lexidrill.conf"

pids=()
cleanup() {
    local pid
    for pid in "${pids[@]}"; do
        kill "$pid" 2>/dev/null || true
    done
    wait 2>/dev/null || true
    # The speech engine starts its own server for this runtime folder.
    local speech="$work/runtime/speech-dispatcher/pid/speech-dispatcher.pid"
    if [ -s "$speech" ]; then
        pid="$(cat "$speech")"
        kill "$pid" 2>/dev/null || true
        for _ in $(seq 20); do
            kill -0 "$pid" 2>/dev/null || return 0
            sleep 0.1
        done
        kill -9 "$pid" 2>/dev/null || true
    fi
}
trap cleanup EXIT

Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
pids+=($!)
for _ in $(seq 200); do
    [ -s "$work/display" ] && break
    sleep 0.1
done
display="$(cat "$work/display")"
for _ in $(seq 200); do
    [ -S "/tmp/.X11-unix/X$display" ] && break
    sleep 0.1
done
export DISPLAY=":$display"

/usr/libexec/at-spi-bus-launcher --launch-immediately >"$work/atspi.log" 2>&1 &
pids+=($!)

# A sound server of the walk's own: what the program plays goes into a null
# sink, and the sink's monitor, remapped, is the default microphone, so that
# a recording played into the sink is what the program records.
pulseaudio --daemonize=no --system=no --exit-idle-time=-1 --disallow-exit -n \
    --load="module-native-protocol-unix auth-anonymous=1" \
    --load="module-null-sink sink_name=lexidrill_null" \
    --load="module-remap-source master=lexidrill_null.monitor source_name=lexidrill_microphone" \
    >"$work/pulseaudio.log" 2>&1 &
pids+=($!)
export PULSE_SERVER="unix:$work/runtime/pulse/native" PULSE_SINK=lexidrill_null
for _ in $(seq 100); do
    pactl info >/dev/null 2>&1 && break
    sleep 0.1
done
pactl set-default-sink lexidrill_null
pactl set-default-source lexidrill_microphone

export QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1
"$program" >"$work/program.log" 2>&1 &
program_pid=$!
pids+=("$program_pid")

status=0
timeout 120 /usr/bin/python3 "$here/play.py" "$list" || status=$?
[ "$status" = 124 ] && echo "FAIL: the program did not answer within two minutes"
if ! kill -0 "$program_pid" 2>/dev/null; then
    wait "$program_pid" || echo "the program ended with status $?"
    status=1
fi
cat "$work/program.log"
exit "$status"
