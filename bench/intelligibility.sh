#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# How many single words a listener can make out, per voice. 302 words (the
# two sample lists and bench/data/school-words.txt) are spoken through the
# program's own speech engine at its default volume and rate (speak_words),
# recorded from a null sink of their own, and recognised one by one by
# pocketsphinx, told that each is one of the 302 (each recording from eight
# starts, see score below); the share it got right is
# printed for the default voice and for every other English voice (variants
# such as "English (America)+Adam" left out). Ends with status 1 when the
# default voice gets less than 89 % (words stay prompt: a 20 ms lead-in).
#
#   bench/intelligibility.sh [build folder] [voice position...]
#
# Voice positions are those of the program's voice list; without any, the
# default voice and the English ones. LEXIDRILL_SPEECHD_CONFIG names a
# speech-dispatcher configuration folder to measure with instead of the
# system's (for instance one with flite's generic module voices, see docs/speech-dispatcher.md).
# LEXIDRILL_INTELLIGIBILITY_KEEP names a folder that keeps the recordings,
# the recogniser's answers and each voice's wrong words ("<starts> word ->
# heard").
# Takes some minutes per voice.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:-$root/build}"
shift || true
speak="$build/bin/speak_words"
model=/usr/share/pocketsphinx/model/en-us
required=89

for tool in "$speak" pocketsphinx_batch parec pactl; do
    if ! command -v "$tool" >/dev/null; then
        echo "intelligibility.sh: $tool is missing (build speak_words; scripts/deps.sh installs the rest)" >&2
        exit 2
    fi
done

# shellcheck source=../scripts/sound-server.sh
source "$root/scripts/sound-server.sh"

work="$(mktemp -d)"
sink="lexidrill_intelligibility_$$"
sink_module=""
cleanup() {
    local pid_file="$work/runtime/speech-dispatcher/pid/speech-dispatcher.pid"
    if [ -s "$pid_file" ]; then
        kill "$(cat "$pid_file")" 2>/dev/null || true
    fi
    if [ -n "$sink_module" ]; then
        pactl unload-module "$sink_module" 2>/dev/null || true
    fi
    if [ -n "${LEXIDRILL_INTELLIGIBILITY_KEEP:-}" ]; then
        mkdir -p "$LEXIDRILL_INTELLIGIBILITY_KEEP"
        cp -r "$work"/words.* "$work"/voice-* "$LEXIDRILL_INTELLIGIBILITY_KEEP"/ 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT

# A sink of its own, so that no other sound gets into the recordings, and a
# speech-dispatcher of its own (its runtime folder is this run's) that plays
# into it. The sink runs at the recogniser's 16 kHz mono, so that a 16 kHz
# voice reaches the recording sample for sample and a run repeats the last.
sink_module="$(pactl load-module module-null-sink "sink_name=$sink" rate=16000 channels=1)"
export PULSE_SINK="$sink"
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
unset SPEECHD_ADDRESS
if [ -n "${LEXIDRILL_SPEECHD_CONFIG:-}" ]; then
    speech-dispatcher -d -t 0 -C "$LEXIDRILL_SPEECHD_CONFIG" >/dev/null 2>&1
fi

# The word set, lower case as the recogniser's dictionary has it.
{
    cat "$root"/data/Samples/*.txt
    grep -v '^#' "$root/bench/data/school-words.txt"
} | tr -d '\r' | tr '[:upper:]' '[:lower:]' | grep -v '^$' >"$work/words.txt"
word_count="$(wc -l <"$work/words.txt")"

{
    echo '#JSGF V1.0;'
    echo 'grammar words;'
    echo "public <word> = $(paste -sd'|' "$work/words.txt" | sed 's/|/ | /g');"
} >"$work/words.gram"
# The dictionary's entries of these words only, alternative pronunciations
# ("word(2)") included.
awk 'NR == FNR { wanted[$1] = 1; next } { word = $1; sub(/\([0-9]+\)$/, "", word) } word in wanted' \
    "$work/words.txt" "$model/cmudict-en-us.dict" >"$work/words.dict"
missing="$(cut -d' ' -f1 "$work/words.dict" | sed 's/([0-9]*)$//' | sort -u | comm -13 - <(sort -u "$work/words.txt"))"
if [ -n "$missing" ]; then
    echo "intelligibility.sh: not in the recogniser's dictionary: $missing" >&2
    exit 2
fi

"$speak" --voices >"$work/voices.txt"
if [ ! -s "$work/voices.txt" ]; then
    echo "intelligibility.sh: the speech engine lists no voices" >&2
    exit 2
fi
if [ $# -gt 0 ]; then
    positions=("$@")
else
    mapfile -t positions < <(awk -F'\t' 'NR == 1 || ($2 ~ /\(English/ && $2 !~ /^[^(]*\+/) { print $1 }' "$work/voices.txt")
fi

# Recognises the recordings in $1 and prints how many were the right word;
# the wrong ones go to $1/wrong ("word -> heard").
recognise() {
    local folder="$1"
    : >"$folder/ctl"
    local n=0
    while read -r _; do
        n=$((n + 1))
        local name
        name="$(printf '%03d' "$n")"
        if [ -s "$folder/$name.raw" ]; then
            echo "$name" >>"$folder/ctl"
        fi
    done <"$work/words.txt"
    pocketsphinx_batch -adcin yes -cepdir "$folder" -cepext .raw -ctl "$folder/ctl" \
        -hmm "$model/en-us" -dict "$work/words.dict" -jsgf "$work/words.gram" \
        -samprate 16000 -hyp "$folder/hyp" -logfn /dev/null >/dev/null 2>&1
    # Each line: the words heard, then "(<utterance> <score>)".
    awk 'NR == FNR { word[sprintf("%03d", FNR)] = $0; next }
         { id = $(NF - 1); sub(/^\(/, "", id); heard = $0; sub(/ *\([^(]*\)$/, "", heard)
           if (heard == word[id]) right++; else print word[id] " -> " heard >wrong }
         END { print right + 0 }' wrong="$folder/wrong" "$work/words.txt" "$folder/hyp"
}

# The recogniser takes the sound in 10 ms steps, and where in a step a word
# begins changes its answer for a word or more in a hundred. So each
# recording is recognised from eight starts 1.25 ms apart (silence put
# before it), and the count is of all eight. $1/wrong counts each wrong
# answer's starts.
shifts=(0 20 40 60 80 100 120 140)
score() {
    local folder="$1"
    local right=0
    : >"$folder/wrong.all"
    for shift in "${shifts[@]}"; do
        local shifted="$folder/start-$shift"
        mkdir -p "$shifted"
        for recording in "$folder"/*.raw; do
            if [ -s "$recording" ]; then
                { head -c $((shift * 2)) /dev/zero; cat "$recording"; } >"$shifted/${recording##*/}"
            fi
        done
        right=$((right + $(recognise "$shifted")))
        cat "$shifted/wrong" >>"$folder/wrong.all" 2>/dev/null || true
        mv "$shifted/hyp" "$folder/hyp-$shift"
        rm -rf "$shifted"
    done
    sort "$folder/wrong.all" | uniq -c | sort -rn >"$folder/wrong"
    rm -f "$folder/wrong.all"
    echo "$right"
}

status=0
printf '%-60s %8s\n' "Voice ($word_count words, rate -4)" "right"
for position in "${positions[@]}"; do
    name="$(awk -F'\t' -v p="$position" '$1 == p { print $2 }' "$work/voices.txt")"
    folder="$work/voice-$position"
    "$speak" "$position" "$sink.monitor" "$folder" <"$work/words.txt"
    right="$(score "$folder")"
    share="$(awk -v r="$right" -v n="$((word_count * ${#shifts[@]}))" 'BEGIN { printf "%.1f", 100 * r / n }')"
    label="$name"
    if [ "$position" = 0 ]; then
        label="$name (default)"
        if awk -v s="$share" -v m="$required" 'BEGIN { exit !(s < m) }'; then
            status=1
        fi
    fi
    printf '%-60s %7s %%\n' "$label" "$share"
done
if [ "$status" -ne 0 ]; then
    echo "intelligibility.sh: the default voice is below $required %" >&2
fi
exit "$status"
