#!/usr/bin/env bash
# wacky-live for a while against a private PipeWire server (tests/live/private-session.sh),
# the bundled voice played into its input over and over: reports the audio callback's
# time per second of audio (wall time inside the callback, read through the vDSO: an
# upper bound of its CPU time) and the cycles dropped.
#
# Usage: bench/live/live-bench.sh BUILD_DIR WORK_DIR [SECONDS [QUANTUM [EFFECT]]]
set -uo pipefail
build=$(cd "$1" && pwd)
mkdir -p "$2"
work=$(cd "$2" && pwd)
seconds=${3:-60}
quantum=${4:-256}
effect=${5:-Robot}
root=$(cd "$(dirname "$0")/../.." && pwd)
. "$root/tests/live/private-session.sh"

private_session_start "$work" || exit 1
err=$work/live.err
"$build/wacky-live" --input wt-feed-sink --effect "$effect" --quantum "$quantum" \
    </dev/null >/dev/null 2>"$err" &
live_pid=$!
wait_until 20 grep -q ready "$err" || { cat "$err"; exit 1; }
(
    trap 'kill "$play" 2>/dev/null; exit 0' TERM
    while :; do
        pw-play --target wt-feed-sink "$root/samples/voice.wav" 2>/dev/null &
        play=$!
        wait "$play"
    done
) &
player=$!
sleep "$seconds"
kill -TERM "$live_pid"
wait "$live_pid"
code=$?
kill "$player"
wait "$player" 2>/dev/null
[ "$code" = 0 ] || { cat "$err"; exit 1; }
echo "wacky-live, $effect, quantum $quantum, ${seconds} s: $(sed -n 's/^wacky-live: stopped: //p' "$err")"
