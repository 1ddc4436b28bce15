#!/usr/bin/env bash
# The wacky-throats window against a private PipeWire server (tests/live/private-session.sh),
# on a real X server without a screen (Xvfb), the bundled voice played into its input over
# and over so that both meters move. Reports:
#   - launch to a shown window with the microphone published (the engine's "ready" line,
#     which comes after the window is shown);
#   - the whole process's CPU time (user + system, from the kernel) per second, beside the
#     data thread's own (PipeWire's data loop, where the plugin runs): the difference is
#     what the window, its meters and the main loop cost;
#   - resident memory at the end, and its peak.
#
# Usage: bench/desktop/desktop-bench.sh BUILD_DIR WORK_DIR [SECONDS]
set -uo pipefail
build=$(cd "$1" && pwd)
mkdir -p "$2"
work=$(cd "$2" && pwd)
seconds=${3:-60}
root=$(cd "$(dirname "$0")/../.." && pwd)
. "$root/tests/live/private-session.sh"

private_session_start "$work" || exit 1
pids=()
stop_all() {
    local pid
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
    for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null; done
    private_session_stop
}
trap stop_all EXIT
trap 'exit 1' INT TERM HUP

rm -f "$work/display"
Xvfb -displayfd 3 -nolisten tcp -screen 0 1280x800x24 3>"$work/display" 2>"$work/xvfb.log" &
pids+=($!)
wait_until 20 test -s "$work/display" || { echo "Xvfb did not start"; exit 1; }
export DISPLAY=:$(cat "$work/display") QT_QPA_PLATFORM=xcb
rm -rf "$work/home" && mkdir -p "$work/home"

# CPU ticks (user + system) of a process or thread, from its stat line (fields 14 and 15,
# counted after the command name, which may hold blanks).
ticks() { awk '{ sub(/.*\) /, ""); print $12 + $13 }' "$1"; }
# The data thread: the engine's one thread beside the main one that keeps the process's
# name (Qt names its own threads).
data_thread() {
    local task name
    name=$(cat /proc/"$1"/comm)
    for task in /proc/"$1"/task/*; do
        [ "${task##*/}" != "$1" ] && [ "$(cat "$task/comm")" = "$name" ] &&
            { echo "$task/stat"; return; }
    done
}

err=$work/app.err
start=$(date +%s%N)
XDG_CONFIG_HOME=$work/home "$build/wacky-throats" --input wt-feed-sink --effect Robot \
    >/dev/null 2>"$err" &
app=$!
pids+=("$app")
until grep -q 'ready' "$err"; do
    kill -0 "$app" 2>/dev/null || { cat "$err"; exit 1; }
    sleep 0.005
done
ready=$(date +%s%N)
echo "wacky-throats: launch to a shown window with the microphone published:" \
    "$(((ready - start) / 1000000)) ms"

(
    trap 'kill "$play" 2>/dev/null; exit 0' TERM
    while :; do
        pw-play --target wt-feed-sink "$root/samples/voice.wav" 2>/dev/null &
        play=$!
        wait "$play"
    done
) &
pids+=($!)
sleep 2  # the first voice reaches the meters
thread=$(data_thread "$app")
[ -n "$thread" ] || { echo "no data thread in wacky-throats"; exit 1; }
hz=$(getconf CLK_TCK)
app_before=$(ticks /proc/$app/stat)
data_before=$(ticks "$thread")
sleep "$seconds"
app_ticks=$(($(ticks /proc/$app/stat) - app_before))
data_ticks=$(($(ticks "$thread") - data_before))
rss=$(awk '/^VmRSS/ { print $2 }' /proc/$app/status)
peak=$(awk '/^VmHWM/ { print $2 }' /proc/$app/status)
percent() { awk -v t="$1" -v hz="$hz" -v s="$seconds" 'BEGIN { printf "%.2f", 100 * t / hz / s }'; }
echo "wacky-throats, Robot, window shown, meters moving, ${seconds} s: the process" \
    "$(percent "$app_ticks") % of one core, its data thread $(percent "$data_ticks") %," \
    "the window beyond the data cycle $(percent $((app_ticks - data_ticks))) %"
echo "wacky-throats: resident memory $((rss / 1024)) MiB (peak $((peak / 1024)) MiB)"
kill -TERM "$app"
wait "$app" || { echo "wacky-throats did not end cleanly"; cat "$err"; exit 1; }
