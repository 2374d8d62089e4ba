#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, then builds the program alone (no tests, no
# benchmarks) with Debian's hardening flags into build-package/ (the package
# preset) and makes build-package/lexidrill_<version>_amd64.deb from the
# install rules; `ctest --preset package` then checks it (package-check.sh).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
source "$root/scripts/deps.sh" run
cd "$root"
out="$root/build-package"
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)" \
LDFLAGS="$(dpkg-buildflags --get LDFLAGS)" \
    cmake --preset package >/dev/null
cmake --build --preset package -j"$(nproc)"
rm -f "$out"/lexidrill_*.deb
(cd "$out" && cpack -G DEB >/dev/null)
ls "$out"/lexidrill_*.deb
