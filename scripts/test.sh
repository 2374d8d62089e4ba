#!/usr/bin/env bash
# Installs what is missing, builds, starts the sound server the audio tests
# play into and runs every test; then builds the suite again with
# AddressSanitizer and UndefinedBehaviorSanitizer and runs it there
# (sanitize.sh), and runs each fuzz target for a bounded time (fuzz.sh).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
source "$root/scripts/deps.sh"
"$root/scripts/build.sh"
source "$root/scripts/sound-server.sh"
(cd "$root/build" && ctest --output-on-failure -j2)
"$root/scripts/sanitize.sh"
"$root/scripts/fuzz.sh"
