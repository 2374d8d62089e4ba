#!/usr/bin/env bash
# Installs what is missing, builds, runs the word list reader's fuzzer for a
# bounded time, starts the sound server the audio tests play into, builds the
# Debian package and checks it installed, and runs every test.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
source "$root/scripts/deps.sh"
LEXIDRILL_WARNINGS_AS_ERRORS=ON "$root/scripts/build.sh"
"$root/scripts/fuzz.sh"
source "$root/scripts/sound-server.sh"
"$root/scripts/package.sh"
"$root/scripts/package-check.sh"
cd "$root/build"
ctest --output-on-failure -j2
