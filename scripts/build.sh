#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Configures and builds into build/; the program lands in build/bin.
# LEXIDRILL_WARNINGS_AS_ERRORS=ON turns every compiler warning into an error.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DLEXIDRILL_WARNINGS_AS_ERRORS="${LEXIDRILL_WARNINGS_AS_ERRORS:-OFF}" >/dev/null
cmake --build "$root/build" -j"$(nproc)"
