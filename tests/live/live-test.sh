#!/usr/bin/env bash
# wacky-live end to end, against a private PipeWire server this script starts and stops.
#
# Usage: tests/live/live-test.sh SCENARIO BUILD_DIR WORK_DIR LIVE_CHECK
#   exit-codes    11 with no server reachable; 12 for an input that does not exist,
#                 naming the sources there are
#   bit-exact     the voice played into a mono null sink, wacky-live --input that sink
#                 with an effect at a quantum of 480 (blocks straddle cycles): what an
#                 application records from wacky-throats-mic is wacky-render --raw's
#                 output for the same samples, sample for sample
#   effect-change the same, with a change of effect sent on standard input while the
#                 voice plays: it arrives, block-exact
# Every run of the tool ends by SIGTERM, which must leave exit status 0 and no node.
#
# The voice and the microphone are recorded on one clock (two channels of one recorder),
# so the monitor channel proves the input was the voice. A run whose input was not (the
# machine too busy for the graph: the monitor lacks samples, or the tool reports dropped
# cycles) is a starved run, not a result: it runs again, at most three times in all, and
# exits 77 (skipped) if every run starved. A wrong result fails at once.
set -uo pipefail
scenario=$1
build=$(cd "$2" && pwd)
work=$3
check=$4
mkdir -p "$work"
work=$(cd "$work" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
live=$build/wacky-live
voice=$root/samples/voice.wav
readonly starved=3 skipped=77 attempts=3
. "$here/private-session.sh"

fail() { echo "FAIL: $*"; exit 1; }

# What a run starts in the background; killed on every way out, so that no tool, no
# recorder (which holds the caller's output open) and no pending command outlives the test.
run_pids=()
stop_run() {
    local pid
    for pid in "${run_pids[@]}"; do kill "$pid" 2>/dev/null; done
    for pid in "${run_pids[@]}"; do wait "$pid" 2>/dev/null; done
    run_pids=()
}

start_session() {
    private_session_start "$work" || fail "the private session did not start"
    trap 'stop_run; private_session_stop' EXIT
    # A signal (ctest's timeout) would end the shell without its EXIT trap.
    trap 'exit 1' INT TERM HUP
}

exit_codes() {
    local err=$work/exit.err code
    mkdir -p "$work/nothing"
    chmod 700 "$work/nothing"
    env -u PIPEWIRE_REMOTE XDG_RUNTIME_DIR="$work/nothing" PIPEWIRE_RUNTIME_DIR="$work/nothing" \
        timeout 30 "$live" </dev/null >/dev/null 2>"$err"
    code=$?
    [ "$code" = 11 ] || fail "no server: exit $code, not 11: $(cat "$err")"
    grep -q "no PipeWire server reachable" "$err" || fail "no server: $(cat "$err")"
    start_session
    timeout 30 "$live" --input no-such-node </dev/null >/dev/null 2>"$err"
    code=$?
    [ "$code" = 12 ] || fail "missing input: exit $code, not 12: $(cat "$err")"
    grep -q 'wt-feed-sink' "$err" || fail "missing input: the sources are not listed: $(cat "$err")"
    echo "exit codes 11 and 12 as documented"
}

# One run: returns 0 bit-exact, 1 wrong, $starved.
run_once() {
    local later=${1:-} err=$work/live.err rec=$work/recording.wav live_pid rec_pid code
    rm -f "$rec" "$err"
    rm -f "$work/control" && mkfifo "$work/control"
    timeout 120 "$live" --input wt-feed-sink --effect Robot --quantum 480 \
        <"$work/control" >/dev/null 2>"$err" &
    live_pid=$!
    run_pids+=("$live_pid")
    exec 3>"$work/control"
    wait_until 20 grep -q 'ready' "$err" || { cat "$err"; fail "wacky-live did not get ready"; }
    timeout 60 pw-record -P '{ node.autoconnect = false node.name = wt-recorder }' \
        --rate 48000 --channels 2 --format s16 "$rec" &
    rec_pid=$!
    run_pids+=("$rec_pid")
    wait_until 20 sh -c 'pw-link -i | grep -q wt-recorder:input_FR' || fail "no recorder"
    pw-link wt-feed-sink:monitor_MONO wt-recorder:input_FL &&
        pw-link wacky-throats-mic:capture_MONO wt-recorder:input_FR || fail "cannot link the recorder"
    sleep 0.5
    if [ -n "$later" ]; then
        # The change lands while the voice plays (it lasts six seconds).
        # A TERM to it ends its sleep too.
        (
            trap 'kill $! 2>/dev/null; exit 1' TERM
            sleep 3 &
            wait $! && echo "$later" >&3
        ) &
        run_pids+=($!)
    fi
    timeout 60 pw-play --target wt-feed-sink "$work/played.wav" || fail "pw-play failed"
    sleep 1
    kill -INT "$rec_pid"
    wait "$rec_pid"
    kill -TERM "$live_pid"
    wait "$live_pid"
    code=$?
    wait "${run_pids[@]}" 2>/dev/null
    run_pids=()
    exec 3>&-
    [ "$code" = 0 ] || { cat "$err"; fail "SIGTERM: exit $code, not 0"; }
    wait_until 10 no_node wacky-throats-mic || fail "SIGTERM left wacky-throats-mic behind"
    wait_until 10 no_node wacky-throats-capture || fail "SIGTERM left the capture stream behind"
    grep 'stopped:' "$err"
    "$check" "$build/wacky-render" "$voice" "$rec" "$work" Robot $later
    code=$?
    if [ "$code" = 1 ] && ! grep -q ' 0 dropped' "$err"; then
        echo "wacky-live reports dropped cycles: a starved run"
        code=$starved
    fi
    return "$code"
}

end_to_end() {
    local attempt code
    "$check" --pad "$voice" "$work/played.wav" || fail "cannot write the voice to play"
    start_session
    for attempt in $(seq 1 "$attempts"); do
        run_once "$@"
        code=$?
        [ "$code" = "$starved" ] || break
        echo "attempt $attempt starved; the machine is too busy for the graph"
    done
    case $code in
        0) echo "PASS" ;;
        "$starved") echo "SKIPPED: every run starved"; exit "$skipped" ;;
        1) fail "the microphone is not what the plugin returned" ;;
        *) fail "live_check could not compare (exit $code)" ;;
    esac
}

case $scenario in
    exit-codes) exit_codes ;;
    bit-exact) end_to_end ;;
    effect-change) end_to_end Alien ;;
    *) fail "unknown scenario $scenario" ;;
esac
