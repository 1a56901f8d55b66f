#!/usr/bin/env bash
# Runs every fuzz harness (or those named) for a time budget each, one at a
# time at the lowest priority, and prints runs, coverage and crashes per
# harness: bench/fuzz/run.sh [SECONDS] [HARNESS...]   (default 60 seconds)
# Builds the harnesses first (build-fuzz/, or $FUZZ_BUILD). New inputs go to
# bench/out/fuzz/corpus/<harness>/ (the seeds in tests/fuzz/corpus are only
# read); crashing inputs to bench/out/fuzz/artifacts/. More libFuzzer options
# in $FUZZ_OPTIONS, e.g. FUZZ_OPTIONS=-runs=1000000 to stop at a run count.
set -euo pipefail
here=$(cd "$(dirname "$0")/../.." && pwd)
seconds=${1:-60}
shift || true
build=${FUZZ_BUILD:-$here/build-fuzz}
out=$here/bench/out/fuzz
fuzz=$here/tests/fuzz
export TMPDIR=${TMPDIR:-$([ -w /dev/shm ] && echo /dev/shm || echo /tmp)}

"$here/scripts/build-fuzz.sh" "$build" >/dev/null
mkdir -p "$out/artifacts" "$out/logs"
printf '%-12s %10s %8s %8s %8s  %s\n' harness runs cov ft crashes artifact
status=0
while read -r name dict _; do
    case "$name" in '' | '#'*) continue ;; esac
    if [ $# -gt 0 ] && [[ " $* " != *" $name "* ]]; then continue; fi
    mkdir -p "$out/corpus/$name"
    options=(-max_total_time="$seconds" -timeout=10 -print_final_stats=1
             -artifact_prefix="$out/artifacts/$name-")
    [ "$dict" != - ] && options+=(-dict="$fuzz/dict/$dict")
    log=$out/logs/$name.log
    before=$(find "$out/artifacts" -name "$name-*" | wc -l)
    # shellcheck disable=SC2086 # FUZZ_OPTIONS is a list of options
    nice -n 19 "$build/bin/fuzz_$name" "${options[@]}" ${FUZZ_OPTIONS:-} \
        "$out/corpus/$name" "$fuzz/corpus/$name" >"$log" 2>&1 || true
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    read -r cov ft < <(grep -E '^#[0-9]+.*cov: ' "$log" | tail -1 |
        sed -E 's/.*cov: ([0-9]+) ft: ([0-9]+).*/\1 \2/') || true
    crashes=$(($(find "$out/artifacts" -name "$name-*" | wc -l) - before))
    artifact=$(sed -n 's/.*Test unit written to //p' "$log" | tail -1)
    [ "$crashes" -gt 0 ] && status=1
    printf '%-12s %10s %8s %8s %8s  %s\n' "$name" "${runs:-?}" "${cov:-?}" "${ft:-?}" \
        "$crashes" "${artifact:-}"
done <"$fuzz/harnesses.txt"
exit $status
