#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Renders the hand-written lexidrill.svg into the PNG sizes that are
# committed beside it (the hicolor theme's sizes and the window icon's).
# Needs rsvg-convert (Debian package librsvg2-bin).
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"
for size in 16 24 32 48 64 128 256; do
    rsvg-convert --width "$size" --height "$size" lexidrill.svg --output "lexidrill-$size.png"
done
