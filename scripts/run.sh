#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what building and running need, builds the program and the files
# it looks for beside itself (no tests, no benchmarks), and starts Lexidrill.
# A build that test.sh made is used as it is.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
source "$root/scripts/deps.sh" run
"$root/scripts/build.sh" lexidrill
exec "$root/build/bin/lexidrill" "$@"
