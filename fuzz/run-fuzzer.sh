#!/bin/sh
# Runs one fuzz target for a bounded time and prints its figures; on a finding, prints the
# end of the log and the reproducer's path, and fails.
#
# Usage: run-fuzzer.sh FUZZER SECONDS WORKDIR SEEDS [LIBFUZZER_OPTION...]
#   WORKDIR receives the corpus the run grows (the committed SEEDS are only read), the
#   log, and any reproducer.
set -eu
fuzzer=$1
seconds=$2
work=$3
seeds=$4
shift 4

mkdir -p "$work/corpus" "$work/findings"
log="$work/fuzz.log"
# -close_fd_mask=1: the plugin's console lines would drown the log.
if "$fuzzer" -max_total_time="$seconds" -timeout=10 -close_fd_mask=1 -print_final_stats=1 \
        -artifact_prefix="$work/findings/" "$@" "$work/corpus" "$seeds" >"$log" 2>&1; then
    name=$(basename "$fuzzer")
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    added=$(sed -n 's/^stat::new_units_added: *//p' "$log")
    edges=$(grep -o 'cov: [0-9]*' "$log" | tail -n 1 | cut -d' ' -f2)
    echo "$name: $runs executions in $seconds s, no finding; $edges edges covered, $added new inputs"
else
    status=$?
    tail -n 60 "$log"
    echo "$(basename "$fuzzer"): finding (exit $status); reproducer in $work/findings/" >&2
    exit "$status"
fi
