#!/usr/bin/env bash
# The wacky-throats window end to end: desktop_window_test on the offscreen platform,
# against a private PipeWire session (tests/live/private-session.sh) started and stopped
# here.
#
# Usage: tests/desktop/desktop-test.sh SCENARIO BUILD_DIR WORK_DIR TEST_PROGRAM LIVE_CHECK
#   window     the menu's buttons, the keyboard, the input picker as devices come and go,
#              the saved choices across runs, an unloadable plugin, another program's
#              microphone, start at login and keep running, a second launch
#   robot      "Robot" clicked in the window: the microphone is wacky-render's Robot for
#              the voice played into wt-feed-sink, sample for sample; the window's
#              picture, meters moving, saved to $WT_SCREENSHOT (set by CMake)
#   no-server  started with no server, the window says so, and publishes once one starts
# A run the machine starved (live_check's verdict, or dropped cycles) runs again, three
# times at most, and exits 77 (skipped) if every run starved; a wrong result fails at once.
set -uo pipefail
scenario=$1
build=$(cd "$2" && pwd)
work=$3
program=$4
check=$5
mkdir -p "$work"
work=$(cd "$work" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
voice=$root/samples/voice.wav
readonly starved=3 skipped=77 attempts=3
. "$root/tests/live/private-session.sh"
# The player and the recorder read and write their files from their real-time threads: on
# a disk they miss cycles, so those files live in memory.
shm=$(mktemp -d /dev/shm/wt-desktop.XXXXXX)

fail() { echo "FAIL: $*"; exit 1; }

export QT_QPA_PLATFORM=offscreen WT_WORK=$work WT_PLUGIN=$build/wacky_throats.so
pids=()
stop_all() {
    local pid
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
    for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null; done
    pids=()
    private_session_stop
    rm -rf "$shm"
}
trap stop_all EXIT
trap 'exit 1' INT TERM HUP

start_session() {
    private_session_start "$work" || fail "the private session did not start"
    trap stop_all EXIT
}

# Runs the test program's FUNCTIONS in the background; its pid in $app.
start_program() {
    rm -f "$work"/{ready,playing,done,waiting} "$work/program.out"
    "$program" "$@" >"$work/program.out" 2>&1 &
    app=$!
    pids+=("$app")
}

finish_program() {
    wait "$app"
    local code=$?
    cat "$work/program.out"
    [ "$code" = 0 ] || fail "the window's test failed (exit $code)"
}

robot_once() {
    local rec=$shm/recording.wav rec_pid code
    rm -f "$rec"
    start_program robotOnTheMicrophone
    wait_until 40 test -e "$work/ready" || { finish_program; fail "the window never got ready"; }
    timeout 60 pw-record -P '{ node.autoconnect = false node.name = wt-recorder }' \
        --rate 48000 --channels 2 --format s16 "$rec" &
    rec_pid=$!
    pids+=("$rec_pid")
    wait_until 20 sh -c 'pw-link -i | grep -q wt-recorder:input_FR' || fail "no recorder"
    pw-link wt-feed-sink:monitor_MONO wt-recorder:input_FL &&
        pw-link wacky-throats-mic:capture_MONO wt-recorder:input_FR || fail "cannot link the recorder"
    sleep 0.5
    touch "$work/playing"
    timeout 60 pw-play --target wt-feed-sink "$shm/played.wav" || fail "pw-play failed"
    sleep 1
    kill -INT "$rec_pid"
    wait "$rec_pid"
    touch "$work/done"
    finish_program
    wait_until 10 no_node wacky-throats-mic || fail "the window left wacky-throats-mic behind"
    "$check" "$build/wacky-render" "$voice" "$rec" "$work" Robot
    code=$?
    if [ "$code" = 1 ] && ! grep -q '^dropped 0$' "$work/program.out"; then
        echo "the window's pipe dropped cycles: a starved run"
        code=$starved
    fi
    return "$code"
}

robot() {
    local attempt code
    "$check" --pad "$voice" "$shm/played.wav" || fail "cannot write the voice to play"
    start_session
    for attempt in $(seq 1 "$attempts"); do
        robot_once
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

window() {
    start_session
    start_program buttonsAreThePluginsMenu keyboardReachesEveryControl pickerFollowsDevices \
        settingsComeBack unloadablePluginIsSaid anotherMicrophoneIsSaid startAtLoginAndKeepRunning \
        secondLaunchReachesTheFirst
    finish_program
}

# The session is started once and stopped, so that the variables its clients need stay
# set with no server behind them; the program waits, the session comes back.
no_server() {
    start_session
    private_session_stop
    start_program recoversWhenAServerStarts
    wait_until 30 test -e "$work/waiting" || { finish_program; fail "no waiting state"; }
    start_session
    finish_program
}

case $scenario in
    window) window ;;
    robot) robot ;;
    no-server) no_server ;;
    *) fail "unknown scenario $scenario" ;;
esac
