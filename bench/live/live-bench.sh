#!/usr/bin/env bash
# wacky-live for a while against a private PipeWire server (tests/live/private-session.sh),
# the bundled voice played into its input over and over. Reports the cycles it dropped
# (lost buffers and the cycles the graph's own clock skipped), the audio callback's time
# per second of audio (wall time inside the callback, read through the vDSO: an upper
# bound of its CPU time), and the whole process's CPU time (user + system, from the
# kernel) per second of audio. With LOAD=N, N processes spin at normal priority beside it
# the whole time. Says whether the data thread got real-time scheduling.
#
# Usage: [LOAD=N] bench/live/live-bench.sh BUILD_DIR WORK_DIR [SECONDS [QUANTUM [EFFECT]]]
set -uo pipefail
build=$(cd "$1" && pwd)
mkdir -p "$2"
work=$(cd "$2" && pwd)
seconds=${3:-60}
quantum=${4:-256}
effect=${5:-Robot}
load=${LOAD:-0}
root=$(cd "$(dirname "$0")/../.." && pwd)
. "$root/tests/live/private-session.sh"

private_session_start "$work" || exit 1
spinners=()
stop_spinners() {
    local pid
    for pid in "${spinners[@]}"; do kill "$pid" 2>/dev/null; done
    spinners=()
}
trap 'stop_spinners; private_session_stop' EXIT
err=$work/live.err
"$build/wacky-live" --input wt-feed-sink --effect "$effect" --quantum "$quantum" \
    </dev/null >/dev/null 2>"$err" &
live_pid=$!
wait_until 20 grep -q capturing "$err" || { cat "$err"; exit 1; }
(
    trap 'kill "$play" 2>/dev/null; exit 0' TERM
    while :; do
        pw-play --target wt-feed-sink "$root/samples/voice.wav" 2>/dev/null &
        play=$!
        wait "$play"
    done
) &
player=$!
for _ in $(seq 1 "$load"); do
    sh -c 'while :; do :; done' &
    spinners+=($!)
done
# The data thread's scheduling policy: FF is SCHED_FIFO, granted by PipeWire's real-time
# module; TS is the ordinary time sharing.
policies=$(ps -L -o cls= -p "$live_pid" | sort | uniq -c | tr -s ' \n' ' ')
sleep "$seconds"
# Clock ticks of user and system time, fields 14 and 15 of /proc/PID/stat.
ticks=$(awk '{ print $14 + $15 }' "/proc/$live_pid/stat")
stop_spinners
kill -TERM "$live_pid"
wait "$live_pid"
code=$?
kill "$player"
wait "$player" 2>/dev/null
[ "$code" = 0 ] || { cat "$err"; exit 1; }
summary=$(sed -n 's/^wacky-live: stopped: //p' "$err")
audio=${summary%% s of audio*}
cpu=$(awk -v t="$ticks" -v hz="$(getconf CLK_TCK)" -v a="$audio" \
    'BEGIN { printf "%.0f us per second of audio (%.2f %% of one core)", 1e6 * t / hz / a, 100 * t / hz / a }')
echo "wacky-live, $effect, quantum $quantum, ${seconds} s, $load spinning processes beside it:"
echo "  $summary"
echo "  the whole process: $cpu; threads by scheduling class: $policies"
