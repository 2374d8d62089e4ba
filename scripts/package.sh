#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, then builds the program alone (no tests, no
# benchmarks) with Debian's hardening flags into build-package/ and makes
# build-package/lexidrill_<version>_amd64.deb from the install rules.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
source "$root/scripts/deps.sh" run
out="$root/build-package"
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)" \
LDFLAGS="$(dpkg-buildflags --get LDFLAGS)" \
    cmake -S "$root" -B "$out" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DLEXIDRILL_BUILD_TESTS=OFF -DLEXIDRILL_BUILD_BENCHMARKS=OFF >/dev/null
cmake --build "$out" -j"$(nproc)"
rm -f "$out"/lexidrill_*.deb
(cd "$out" && cpack -G DEB >/dev/null)
ls "$out"/lexidrill_*.deb
