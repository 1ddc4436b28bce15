#!/bin/sh
# Runs a Windows program under 64-bit Wine, headless and quiet, in a Wine prefix of its
# own; creates the prefix on first use. The Windows build's test emulator.
#
# Usage: wine-run.sh PREFIX [PROGRAM [ARG...]]   (no PROGRAM: only create the prefix)
#
# The prefix is created once (about ten seconds), under a lock so that parallel test
# runs wait for it instead of racing; the stamp is written only when it is complete.
# No display is used, no debug channel prints, and the Mono and Gecko installers that
# Wine offers for a new prefix are switched off.
set -eu
prefix=$1
shift
case $prefix in /*) ;; *) prefix=$PWD/$prefix ;; esac  # Wine wants it absolute

export WINEPREFIX="$prefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES='mscoree,mshtml='
unset DISPLAY WAYLAND_DISPLAY

wine=/usr/lib/wine/wine64
[ -x "$wine" ] || wine=$(command -v wine64 || true)
if [ -z "$wine" ]; then
    echo "wine-run.sh: wine64 not found (Debian packages: wine, wine64)" >&2
    exit 127
fi
export WINELOADER="$wine"
wineserver=$(dirname "$wine")/wineserver
[ -x "$wineserver" ] || wineserver=wineserver

stamp="$prefix/.prepared"
if [ ! -f "$stamp" ]; then
    mkdir -p "$(dirname "$prefix")"
    (
        flock 9
        if [ ! -f "$stamp" ]; then
            "$wine" wineboot -i >/dev/null 2>&1
            "$wineserver" -w
            touch "$stamp"
        fi
    ) 9>"$prefix.lock"
fi

[ $# -eq 0 ] && exit 0
exec "$wine" "$@"
