#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Configures build/ (the dev preset) and builds the given targets there, or
# everything; the program lands in build/bin. run.sh and test.sh both build
# there, so that neither rebuilds what the other built: warnings are errors in
# both (LEXIDRILL_WARNINGS_AS_ERRORS=OFF lets a build with warnings through,
# and then the next build with the default compiles everything again).
#
#   scripts/build.sh [target ...]
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
cmake --preset dev -DLEXIDRILL_WARNINGS_AS_ERRORS="${LEXIDRILL_WARNINGS_AS_ERRORS:-ON}" >/dev/null
targets=()
for target in "$@"; do
    targets+=(--target "$target")
done
cmake --build --preset dev -j"$(nproc)" "${targets[@]}"
