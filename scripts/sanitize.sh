#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the program and the test suite with AddressSanitizer and
# UndefinedBehaviorSanitizer (clang, into build-sanitize/) and runs every
# test there (the sanitize presets); any finding fails its test. Run by
# test.sh after the plain build's tests.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
source "$root/scripts/sanitize-env.sh"
cd "$root"
cmake --build --preset sanitize -j"$(nproc)"
source "$root/scripts/sound-server.sh"
ctest --preset sanitize
