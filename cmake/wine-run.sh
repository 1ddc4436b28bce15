#!/bin/sh
# Runs a Windows program under Wine, headless and quiet, in a Wine prefix of its own;
# creates the prefix on first use. The Windows builds' test emulator.
#
# Usage: wine-run.sh ARCH PREFIX [PROGRAM [ARG...]]   (no PROGRAM: only create the prefix)
#        wine-run.sh ARCH PREFIX --stop   (ends the prefix's server and what runs in it)
#   ARCH: x64 for 64-bit programs, x86 for 32-bit ones. The prefix is a 64-bit one either
#   way: a 32-bit program runs in its 32-bit half (as on 64-bit Windows) under 32-bit Wine,
#   which needs Debian's wine32 and a machine that runs 32-bit Linux programs
#   (scripts/run-32-bit.sh). A prefix of its own for 32-bit Windows would cost far more:
#   every service Wine starts in it would be a 32-bit program too.
#   x86-without-avx: a 32-bit program on a CPU with SSE2 and nothing newer, which only
#   QEMU's emulator can pretend to be (its qemu32 model); WT_EXPECT_NO_AVX=1 tells the
#   program so. Where 32-bit programs run natively, exits 77 (skipped) instead.
#
# The prefix is created once (about ten seconds, two minutes where 32-bit programs run
# emulated), under a lock so that parallel test runs wait for it instead of racing; the
# stamp is written only when it is complete. No display is used, no debug channel
# prints, and the Mono and Gecko installers that Wine offers for a new prefix are
# switched off.
#
# Debian's wineserver leaves the moment its last program ends (it runs with -p0) and ends
# the Wine services with it; the next program then boots them all again, and a program
# that starts while the server is leaving can die before its own code runs, with no
# output. So before a program runs, the prefix gets one server that stays up until ten
# minutes after its last program (WT_WINESERVER_SECONDS); a test stage ends it with
# --stop. A program that Wine fails to start, or that fails, is named in one line with
# the prefix and its exit status.
set -eu
arch=$1
prefix=$2
shift 2
case $prefix in /*) ;; *) prefix=$PWD/$prefix ;; esac  # Wine wants it absolute

wine=/usr/lib/wine/wine64
[ -x "$wine" ] || wine=$(command -v wine64 || true)
if [ -z "$wine" ]; then
    echo "wine-run.sh: wine64 not found (Debian packages: wine, wine64)" >&2
    exit 127
fi
wineserver=$(dirname "$wine")/wineserver
[ -x "$wineserver" ] || wineserver=wineserver
if [ "${1:-}" = --stop ]; then
    [ -d "$prefix" ] && WINEPREFIX="$prefix" "$wineserver" -k 2>/dev/null || true
    exit 0
fi
emulated_32_bit() { "$(dirname "$0")/../scripts/run-32-bit.sh" --emulated; }
if [ "$arch" = x86-without-avx ]; then
    if ! emulated_32_bit; then
        echo "wine-run.sh: 32-bit programs run natively here, on a CPU that cannot be hidden" >&2
        exit 77
    fi
    export QEMU_CPU=qemu32 WT_EXPECT_NO_AVX=1
    arch=x86
fi
case $arch in
    x64) ;;
    x86)
        if ! "$(dirname "$wine")/wine" --version >/dev/null 2>&1; then
            echo "wine-run.sh: 32-bit Wine does not run here (Debian package wine32:i386;" \
                 "a kernel without 32-bit support needs scripts/run-32-bit.sh --ensure)" >&2
            exit 127
        fi
        ;;
    *) echo "wine-run.sh: ARCH must be x64, x86 or x86-without-avx, not '$arch'" >&2; exit 2 ;;
esac

export WINEPREFIX="$prefix"
export WINEARCH=win64
export WINEDEBUG=-all
export WINEDLLOVERRIDES='mscoree,mshtml='
unset DISPLAY WAYLAND_DISPLAY
export WINELOADER="$wine"

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

# Under QEMU's user-mode emulator (scripts/run-32-bit.sh), four 32-bit threads taking one
# std::mutex in turn hang the emulated process or crash it ("stack smashing detected",
# a different outcome each run), while the same test passes in the 64-bit DLL's build
# and under every sanitizer. The one test that does only that is left out there; the
# plugin's own race tests, lock-free, run.
if [ "$arch" = x86 ] && [ -z "${GTEST_FILTER:-}" ] && emulated_32_bit; then
    export GTEST_FILTER='-BlockLedger.ThreadsHandingOutAndGivingBackAtOnceKeepOneAccount'
fi
# One program at a time makes sure the server runs: starting it returns once it listens,
# and fails when one runs already. The program that started it boots the Wine services
# in it at once, with no standard streams of a test's: they stay as long as the server.
(
    flock 9
    if "$wineserver" -p"${WT_WINESERVER_SECONDS:-600}" </dev/null >/dev/null 2>&1 9>&-; then
        "$wine" wineboot </dev/null >/dev/null 2>&1 9>&- || true
    fi
) 9>"$prefix.lock"
status=0
"$wine" "$@" || status=$?
if [ "$status" -ne 0 ]; then
    echo "wine-run.sh: $1 exited with status $status under Wine (prefix $prefix)" >&2
fi
exit "$status"
