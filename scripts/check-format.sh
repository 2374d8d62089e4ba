#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Fails when a source file under src/, tests/, bench/ or fuzz/ differs from
# the style in .clang-format, and shows where. Run by test.sh. With --fix it
# formats those files in place instead.
#
#   scripts/check-format.sh [--fix]
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
# Another version of clang-format may lay out the same code differently:
# the style is checked with Debian 12's.
format="$(command -v clang-format-14 || command -v clang-format || true)"
if [ -z "$format" ]; then
    echo "check-format: clang-format not found (Debian: clang-format)" >&2
    exit 1
fi
cd "$root"
mapfile -d '' files < <(find src tests bench fuzz -type f \( -name '*.cpp' -o -name '*.h' \) -print0 | sort -z)
if [ "${1:-}" = --fix ]; then
    "$format" -i "${files[@]}"
    exit 0
fi
if ! "$format" --dry-run --Werror "${files[@]}"; then
    echo "check-format: format these files with scripts/check-format.sh --fix" >&2
    exit 1
fi
echo "Format: ${#files[@]} files as .clang-format lays them out."
