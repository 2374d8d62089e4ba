#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the fuzz targets (the fuzz preset: clang, in build-sanitize/) and
# runs each for a bounded time, LEXIDRILL_FUZZ_SECONDS (default 35), starting
# from its seeds in fuzz/seeds/<target>/. The random seed is fixed
# (LEXIDRILL_FUZZ_SEED, default 1) so that a run of the test command explores
# the same inputs each time; give another seed, and more seconds, to look
# further. Inputs found along the way are kept in
# build-sanitize/fuzz-corpus/<target>/ for the next run; an input that breaks
# a check or trips a sanitizer is saved in build-sanitize/fuzz/ and fails
# the run.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
source "$root/scripts/sanitize-env.sh"
(cd "$root" && cmake --build --preset fuzz -j"$(nproc)")
targets=(wordlist settings export cursorfile misspelling sentencegap)
cd "$lexidrill_sanitize_build/fuzz"
for target in "${targets[@]}"; do
    corpus="$lexidrill_sanitize_build/fuzz-corpus/$target"
    mkdir -p "$corpus"
    echo "Fuzzing $target for ${LEXIDRILL_FUZZ_SECONDS:-35} s"
    "./fuzz_$target" -seed="${LEXIDRILL_FUZZ_SEED:-1}" -max_total_time="${LEXIDRILL_FUZZ_SECONDS:-35}" -timeout=20 -rss_limit_mb=3072 \
        -print_final_stats=1 "$corpus" "$root/fuzz/seeds/$target" 2>"$corpus.log" \
        || { tail -n 60 "$corpus.log" >&2; exit 1; }
    grep -E '^stat::number_of_executed_units|^Done' "$corpus.log" || true
done
