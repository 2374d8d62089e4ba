#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Start-up time: from launching a process to its main window's first paint,
# for the program and for a bare Qt Widgets window (bench/bare_window.cpp),
# launched in turn under a virtual display; prints both medians and their
# ratio. The program reports the paint itself when LEXIDRILL_EXIT_WHEN_SHOWN
# is set, then ends.
#
#   bench/startup.sh [build folder] [launches of each, at least 10]
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$(cd "${1:-$root/build}" && pwd)"
launches="${2:-15}"

if [ -z "${DISPLAY:-}" ]; then
    exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$build" "$launches"
fi

# The program's settings go to a scratch folder, not the user's.
config="$(mktemp -d)"
trap 'rm -rf "$config"' EXIT

# Milliseconds from launch to first paint, with three decimals.
time_to_paint() {
    local start shown
    start=$(date +%s%N)
    shown=$(XDG_CONFIG_HOME="$config" LEXIDRILL_EXIT_WHEN_SHOWN=1 "$1" 2>/dev/null | sed -n 's/^shown //p')
    if [ -z "$shown" ]; then
        echo "$1 did not report its window" >&2
        exit 1
    fi
    awk -v a="$start" -v b="$shown" 'BEGIN { printf "%.3f\n", (b - a) / 1e6 }'
}

median() {
    sort -n | awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2]; else printf "%.3f\n", (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

program_times=()
bare_times=()
for ((i = 0; i < launches; i++)); do
    program_times+=("$(time_to_paint "$build/bin/lexidrill")")
    bare_times+=("$(time_to_paint "$build/bin/bare_window")")
done

program=$(printf '%s\n' "${program_times[@]}" | median)
bare=$(printf '%s\n' "${bare_times[@]}" | median)
echo "launches of each:        $launches"
echo "program, median:         $program ms  (${program_times[*]})"
echo "bare Qt window, median:  $bare ms  (${bare_times[*]})"
awk -v p="$program" -v b="$bare" 'BEGIN { printf "ratio:                   %.2f (target: at most 1.5)\n", p / b }'
