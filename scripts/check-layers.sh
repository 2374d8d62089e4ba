#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Fails when a source file includes a header of a folder it may not use, and
# names the offending line. Each folder below lists the folders it may
# include besides itself; everything points down:
#   app > windows > widgets, program > the subsystems > core
# and the speech helper, a process of its own, sees only the protocol and core.
set -euo pipefail
src="${1:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/src}"

declare -A may=(
    [core]=""
    [speechprotocol]="core"
    [wordlist]="core"
    [results]="core"
    [practice]="core wordlist"
    [history]="core practice"
    [audio]="core speechprotocol"
    [program]="core speechprotocol wordlist results practice history audio"
    [widgets]="core"
    [windows]="core speechprotocol wordlist results practice history audio program widgets"
    [app]="core speechprotocol wordlist results practice history audio program widgets windows"
    [speechhelper]="core speechprotocol"
)

status=0
while IFS= read -r -d '' file; do
    layer="${file#"$src"/}"
    layer="${layer%%/*}"
    if [ -z "${may[$layer]+set}" ]; then
        echo "$file: not in a known layer ($layer)"
        status=1
        continue
    fi
    while IFS=: read -r line target; do
        other="${target%%/*}"
        [ "$other" = "$target" ] && continue          # a header beside the file
        [ -z "${may[$other]+set}" ] && continue       # not one of ours
        [ "$other" = "$layer" ] && continue
        if [[ " ${may[$layer]} " != *" $other "* ]]; then
            echo "$file:$line: $layer includes \"$target\", from a folder it may not use"
            status=1
        fi
    done < <(grep -n -o -E '^[[:space:]]*#[[:space:]]*include[[:space:]]+"[^"]+"' "$file" \
             | sed -E 's/^([0-9]+):.*"([^"]+)"/\1:\2/')
done < <(find "$src" -type f \( -name '*.h' -o -name '*.cpp' \) -print0)

[ "$status" -eq 0 ] && echo "Layers: every include points down."
exit "$status"
