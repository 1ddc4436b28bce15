# The check list the shell-script tests share (sourced): one line per check, failures
# with the output that tells why, and a closing count.
#
#   check NAME COMMAND...   runs COMMAND, quiet when it succeeds; on failure prints its
#                           output (the last 40 lines), indented
#   checks_done TITLE       prints "TITLE: N passed, N failed"; fails when any failed
passed=0
failed=0

check() {
    local name=$1 output
    shift
    if output=$("$@" 2>&1); then
        echo "ok: $name"
        passed=$((passed + 1))
    else
        echo "FAILED: $name"
        [ -z "$output" ] || sed 's/^/    /' <<<"$output" | tail -40
        failed=$((failed + 1))
    fi
}

checks_done() {
    echo "$1: $passed passed, $failed failed"
    [ "$failed" -eq 0 ]
}
