#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Configures build/ and builds the given targets there, or everything; the
# program lands in build/bin. run.sh and test.sh configure it the same way,
# so that neither rebuilds what the other built: warnings are errors in both
# (LEXIDRILL_WARNINGS_AS_ERRORS=OFF lets a build with warnings through, and
# then the next build with the default compiles everything again).
#
#   scripts/build.sh [target ...]
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DLEXIDRILL_WARNINGS_AS_ERRORS="${LEXIDRILL_WARNINGS_AS_ERRORS:-ON}" >/dev/null
targets=()
for target in "$@"; do
    targets+=(--target "$target")
done
cmake --build "$root/build" -j"$(nproc)" "${targets[@]}"
