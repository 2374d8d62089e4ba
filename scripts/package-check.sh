#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Checks the package that package.sh made, as a new user meets it: lintian
# finds no error in it; it installs with apt-get; the installed desktop entry
# and AppStream metadata validate; the installed program tells its version,
# refuses an unknown option, and under a virtual display shows its main
# window with its sample list and with a word list given to it; apt-get then
# removes it and nothing of it is left. The package is removed on every way
# out, also when a check fails. Needs root or sudo. The package tier's test
# (`ctest --preset package`) runs it on its own tree.
#
#   scripts/package-check.sh [tree, by default build-package/]
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
tree="${1:-$root/build-package}"
shopt -s nullglob
debs=("$tree"/lexidrill_*_amd64.deb)
if [ ${#debs[@]} -ne 1 ]; then
    echo "package-check: expected one package in $tree, found ${#debs[@]}; run scripts/package.sh" >&2
    exit 1
fi
deb="${debs[0]}"
version="$(dpkg-deb --field "$deb" Version)"
sudo=()
if [ "$(id -u)" -ne 0 ]; then
    sudo=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
work="$(mktemp -d)"
app=""
xvfb=""

fail() {
    echo "package-check: $*" >&2
    exit 1
}

installed() {
    dpkg-query --show --showformat='${Status}' lexidrill 2>/dev/null | grep -q ' installed$'
}

cleanup() {
    if [ -n "$app" ]; then kill "$app" 2>/dev/null || true; fi
    if [ -n "$xvfb" ]; then kill "$xvfb" 2>/dev/null || true; fi
    if installed; then
        "${sudo[@]}" apt-get remove -y -q lexidrill >/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT

step() { echo "package-check: $*"; }

step "lintian $(basename "$deb")"
status=0
lintian --fail-on error "$deb" >"$work/lintian.log" 2>&1 || status=$?
grep -v '^running with root privileges' "$work/lintian.log" || true
[ "$status" -eq 0 ] || fail "lintian reports errors"

step "apt-get install"
"${sudo[@]}" apt-get install -y -q --reinstall "$deb" >"$work/apt.log" 2>&1 \
    || { cat "$work/apt.log" >&2; fail "apt-get install failed"; }

step "desktop entry and AppStream metadata"
desktop-file-validate /usr/share/applications/example.marrowfen.Lexidrill.desktop
appstreamcli validate --no-net /usr/share/metainfo/example.marrowfen.Lexidrill.metainfo.xml >/dev/null \
    || appstreamcli validate --no-net /usr/share/metainfo/example.marrowfen.Lexidrill.metainfo.xml

step "lexidrill --version"
[ "$(lexidrill --version)" = "Lexidrill $version" ] || fail "lexidrill --version: $(lexidrill --version)"
status=0
lexidrill --no-such-option 2>/dev/null || status=$?
[ "$status" -eq 2 ] || fail "an unknown option ended with status $status, not 2"

# A virtual display; Xvfb writes its display number once it takes clients.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb=$!
for _ in $(seq 1 100); do
    [ -s "$work/display" ] && break
    sleep 0.1
done
[ -s "$work/display" ] || { cat "$work/xvfb.log" >&2; fail "Xvfb did not start"; }
export DISPLAY=":$(cat "$work/display")"

# Starts the installed program in the given folder with fresh settings and
# waits, for at most a minute, for its main window: a normal window, not a
# message box, with the program's caption. Sets `remembered` to the word list
# that the program remembered.
start_and_see_main_window() {
    local folder="$1"
    shift
    local config
    config="$(mktemp -d -p "$work")"
    local window=""
    local attempt
    # The virtual display now and then refuses a connection right after
    # another client has gone; such a start is tried again, twice at most.
    for attempt in 1 2 3; do
        (cd "$folder" && XDG_CONFIG_HOME="$config" exec lexidrill "$@") >"$work/app.log" 2>&1 &
        app=$!
        sleep 0.5
        kill -0 "$app" 2>/dev/null || ! grep -q 'could not connect to display' "$work/app.log" || continue
        break
    done
    for _ in $(seq 1 300); do
        kill -0 "$app" 2>/dev/null || { cat "$work/app.log" >&2; fail "lexidrill $* ended early"; }
        window="$(xdotool search --onlyvisible --name '^Lexidrill$' 2>/dev/null | head -n 1 || true)"
        [ -n "$window" ] && break
        sleep 0.2
    done
    [ -n "$window" ] || { cat "$work/app.log" >&2; fail "no Lexidrill window within a minute"; }
    # A message box is a dialog first and a normal window only second.
    xprop -id "$window" _NET_WM_WINDOW_TYPE | grep -q '= _NET_WM_WINDOW_TYPE_NORMAL$' \
        || fail "the first Lexidrill window is a message box, not the main window"
    kill "$app"
    wait "$app" 2>/dev/null || true
    app=""
    remembered="$(sed -n 's/^Dictionary=//p' "$config/Marrowfen/Lexidrill.conf")"
}

step "the installed program's main window, with its first-run list"
start_and_see_main_window "$work"
[ "$remembered" = /usr/share/lexidrill/Samples/One-To-Ten.txt ] \
    || fail "the first run remembered '$remembered', not the installed sample list"

step "the installed program's main window, with a word list given"
printf 'alpha\nbeta\n' >"$work/words.txt"
start_and_see_main_window "$work" words.txt
[ "$remembered" = "$work/words.txt" ] || fail "remembered '$remembered', not $work/words.txt"

step "apt-get remove"
"${sudo[@]}" apt-get remove -y -q lexidrill >"$work/apt.log" 2>&1 \
    || { cat "$work/apt.log" >&2; fail "apt-get remove failed"; }
! installed || fail "still installed after apt-get remove"
for path in /usr/bin/lexidrill /usr/share/lexidrill /usr/share/applications/example.marrowfen.Lexidrill.desktop; do
    [ ! -e "$path" ] || fail "$path is left after apt-get remove"
done
step "passed"
