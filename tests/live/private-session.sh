# A private PipeWire session for the live tests and the benchmark, sourced by them:
# pipewire with tests/live/session/pipewire.conf and wireplumber with Debian's policy, in
# runtime, configuration and state folders of their own under a work folder, so neither
# D-Bus nor a desktop session nor a device is needed, and nothing of the machine's own
# session is touched.
#
#   private_session_start WORK   starts both, exports the variables clients need,
#                                waits until the feed sink is there; 1 on failure
#   private_session_stop         stops both (also from the EXIT trap the start sets)
#   private_session_restart_manager
#                                stops the session manager and starts it again
# With PRIVATE_SESSION_MANAGER=none, private_session_start starts the server alone.

private_session_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/session
private_session_pids=()

private_session_stop() {
    local pid
    for pid in "${private_session_pids[@]}"; do kill "$pid" 2>/dev/null; done
    for pid in "${private_session_pids[@]}"; do wait "$pid" 2>/dev/null; done
    private_session_pids=()
}

# wait_until SECONDS COMMAND...: runs COMMAND every 0.1 s until it succeeds.
wait_until() {
    local tries=$(($1 * 10))
    shift
    while ! "$@" >/dev/null 2>&1; do
        tries=$((tries - 1))
        [ "$tries" -gt 0 ] || return 1
        sleep 0.1
    done
}

# has_node NAME: 0 when the server lists a node of that name, 1 when it does not, 2 when
# the server could not be asked. The dump is taken whole first: a reader that stops at the
# first match would kill pw-dump by SIGPIPE, a failure under pipefail.
has_node() {
    local dump
    dump=$(timeout 10 pw-dump 2>/dev/null) || return 2
    [[ $dump == *"\"node.name\": \"$1\""* ]]
}
no_node() {
    has_node "$1"
    [ $? = 1 ]
}

private_session_start() {
    local work=$1
    rm -rf "$work/run" "$work/config" "$work/state"
    mkdir -p "$work/run" "$work/config" "$work/state"
    chmod 700 "$work/run"
    cp -r "$private_session_dir/wireplumber" "$work/config/"
    export XDG_RUNTIME_DIR=$work/run PIPEWIRE_RUNTIME_DIR=$work/run
    export XDG_CONFIG_HOME=$work/config XDG_STATE_HOME=$work/state
    export DBUS_SESSION_BUS_ADDRESS=disabled: PIPEWIRE_REMOTE=pipewire-0
    unset DISPLAY WAYLAND_DISPLAY
    trap private_session_stop EXIT
    pipewire -c "$private_session_dir/pipewire.conf" >"$work/pipewire.log" 2>&1 &
    private_session_pids+=($!)
    wait_until 20 test -S "$work/run/pipewire-0" || { echo "pipewire did not start"; return 1; }
    if [ "${PRIVATE_SESSION_MANAGER:-}" = none ]; then
        wait_until 20 has_node wt-feed-sink || { echo "the server did not come up"; return 1; }
        return 0
    fi
    private_session_manager "$work"
}

private_session_manager() {
    local work=$1
    wireplumber >>"$work/wireplumber.log" 2>&1 &
    private_session_pids+=($!)
    # The session manager is ready once it has published the default nodes.
    wait_until 20 has_node wt-feed-sink &&
        wait_until 20 sh -c 'timeout 10 pw-metadata -n default 0 default.audio.sink | grep -q wt-feed-sink' ||
        { echo "the private session did not come up"; cat "$work"/*.log; return 1; }
}

private_session_restart_manager() {
    local manager=${private_session_pids[1]}
    kill "$manager" && wait "$manager" 2>/dev/null
    private_session_pids=("${private_session_pids[0]}")
    private_session_manager "$(dirname "$XDG_RUNTIME_DIR")"
}
