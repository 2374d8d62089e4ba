#!/usr/bin/env bash
# Builds the word list reader's fuzz target with clang and runs it for a
# bounded time (LEXIDRILL_FUZZ_SECONDS, default 60).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
if [ ! -f "$root/fuzz/CMakeLists.txt" ]; then
    exit 0
fi
cmake -S "$root/fuzz" -B "$root/build-fuzz" -G Ninja -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$root/build-fuzz"
mkdir -p "$root/build-fuzz/corpus"
"$root/build-fuzz/fuzz_wordlist" -max_total_time="${LEXIDRILL_FUZZ_SECONDS:-60}" \
    -timeout=10 -rss_limit_mb=2048 "$root/build-fuzz/corpus" "$root/fuzz/seeds"
