#!/usr/bin/env bash
# CI's fuzz step: builds the harnesses (build-fuzz/, clang) and runs each over
# its seed corpus plus a fixed number of runs with a fixed seed; fails on the
# first crash, leak or timeout. New inputs go to a temporary folder only.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build-fuzz}
fuzz=$here/tests/fuzz
export TMPDIR=${TMPDIR:-$([ -w /dev/shm ] && echo /dev/shm || echo /tmp)}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

start=$SECONDS
"$here/scripts/build-fuzz.sh" "$build"
built=$SECONDS
while read -r name dict runs; do
    case "$name" in '' | '#'*) continue ;; esac
    options=(-runs="$runs" -seed=1 -timeout=10 -artifact_prefix="$work/$name-")
    [ "$dict" != - ] && options+=(-dict="$fuzz/dict/$dict")
    mkdir "$work/$name"
    if ! "$build/bin/fuzz_$name" "${options[@]}" "$work/$name" "$fuzz/corpus/$name" \
        >"$work/$name.log" 2>&1; then
        cat "$work/$name.log" >&2
        echo "fuzz-smoke: $name failed; the input is in the log above" >&2
        exit 1
    fi
    echo "fuzz-smoke: $name: $(grep -E '^#[0-9]+.*(DONE|cov:)' "$work/$name.log" | tail -1)"
done <"$fuzz/harnesses.txt"
echo "fuzz-smoke: built in $((built - start)) s, ran in $((SECONDS - built)) s"
