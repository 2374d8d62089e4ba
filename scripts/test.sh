#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing; checks that the run command would still configure
# with only its own packages (the newcomer preset) and that the code keeps
# its format; builds (warnings are errors); starts the sound server the audio
# tests play into; builds the Debian package and checks it installed (the
# package tier); runs the unit and integration tiers; then builds the suite
# again with AddressSanitizer and UndefinedBehaviorSanitizer and runs it there
# (sanitize.sh), and runs each fuzz target for a bounded time (fuzz.sh).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
source "$root/scripts/deps.sh" test
cd "$root"
# Everything is installed here; the newcomer tree takes every package that
# only this command installs as missing, as on a machine that ran only the
# run command, so that a configure step needing one fails here too.
echo "Newcomer: configuring build-newcomer/ as the run command does"
cmake --preset newcomer --fresh >/dev/null || {
    echo "test.sh: the run command would fail to configure on a machine with only its own packages" >&2
    exit 1
}
"$root/scripts/check-format.sh"
"$root/scripts/build.sh"
source "$root/scripts/sound-server.sh"
"$root/scripts/package.sh"
ctest --preset package
ctest --preset all
"$root/scripts/sanitize.sh"
"$root/scripts/fuzz.sh"
