#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Fails when a source file includes a header of a layer above its own, and
# names the offending line. Layers, top to bottom:
#   app, speechhelper > windows > widgets > program > wordlist, game, audio,
#   results, history, practice > core
# A subsystem includes only itself and core.
set -euo pipefail
src="${1:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/src}"

rank() {
    case "$1" in
        core) echo 0 ;;
        wordlist|game|audio|results|history|practice) echo 1 ;;
        program) echo 2 ;;
        widgets) echo 3 ;;
        windows) echo 4 ;;
        app|speechhelper) echo 5 ;;
        *) echo -1 ;;
    esac
}

status=0
while IFS= read -r -d '' file; do
    layer="${file#"$src"/}"
    layer="${layer%%/*}"
    own=$(rank "$layer")
    if [ "$own" -lt 0 ]; then
        echo "$file: not in a known layer ($layer)"
        status=1
        continue
    fi
    while IFS=: read -r line target; do
        other="${target%%/*}"
        theirs=$(rank "$other")
        [ "$theirs" -lt 0 ] && continue
        if [ "$theirs" -gt "$own" ] || { [ "$theirs" -eq "$own" ] && [ "$other" != "$layer" ]; }; then
            echo "$file:$line: $layer includes \"$target\" from a layer above or beside it"
            status=1
        fi
    done < <(grep -n -o -E '^[[:space:]]*#[[:space:]]*include[[:space:]]+"[^"]+"' "$file" \
             | sed -E 's/^([0-9]+):.*"([^"]+)"/\1:\2/')
done < <(find "$src" -type f \( -name '*.h' -o -name '*.cpp' \) -print0)

[ "$status" -eq 0 ] && echo "Layers: every include points down."
exit "$status"
