#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds (warnings are errors), starts the sound
# server the audio tests play into, builds the Debian package and checks it
# installed, and runs every test; then builds the suite again with
# AddressSanitizer and UndefinedBehaviorSanitizer and runs it there
# (sanitize.sh), and runs each fuzz target for a bounded time (fuzz.sh).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
source "$root/scripts/deps.sh" test
"$root/scripts/build.sh"
source "$root/scripts/sound-server.sh"
"$root/scripts/package.sh"
"$root/scripts/package-check.sh"
(cd "$root/build" && ctest --output-on-failure -j2)
"$root/scripts/sanitize.sh"
"$root/scripts/fuzz.sh"
