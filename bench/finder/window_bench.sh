#!/usr/bin/env bash
# Times the finder window on a search that yields 20,000 rows, beside
# kavrel-find on the same search, and prints the ratio (target: at most 3).
#   bench/finder/window_bench.sh [BUILD_DIR] [RUNS]
# The tree (1,000 folders with twenty .shp files and ten other files each) is
# generated once under /tmp and reused while its marker file is present.
set -euo pipefail
build=${1:-$(cd "$(dirname "$0")/../.." && pwd)/build}
runs=${2:-3}
bench=$build/bin/kavrel-window-bench
find=$build/bin/kavrel-find
for program in "$bench" "$find"; do
    [ -x "$program" ] || { echo "no $program: build the finder first" >&2; exit 1; }
done
tree=/tmp/kavrel-window-bench-tree
if [ ! -e "$tree/.marker" ]; then
    echo "generating the tree in $tree ..." >&2
    rm -rf "$tree"
    for a in $(seq 0 9); do
        for b in $(seq 0 99); do
            folder="$tree/area$a/sheet $b"
            mkdir -p "$folder"
            (cd "$folder" && touch $(printf 'layer%02d.shp ' $(seq 0 19)) \
                $(printf 'notes%d.txt ' $(seq 0 9)))
        done
    done
    touch "$tree/.marker"
fi

best() { sort -n | head -1; }
window_times=() find_times=()
for run in $(seq "$runs"); do
    read -r rows seconds < <(QT_QPA_PLATFORM=offscreen "$bench" "$tree" '*.shp' 2>/dev/null)
    window_times+=("$seconds")
    start=$(date +%s.%N)
    found=$("$find" --named '*.shp' --look-in "$tree" 2>/dev/null | wc -l)
    end=$(date +%s.%N)
    find_times+=("$(echo "$end - $start" | bc -l)")
done
window=$(printf '%s\n' "${window_times[@]}" | best)
cli=$(printf '%s\n' "${find_times[@]}" | best)
printf 'rows: window %d, kavrel-find %d\n' "$rows" "$found"
printf 'window search %.3f s, kavrel-find %.3f s (best of %d)\n' "$window" "$cli" "$runs"
printf 'ratio window / kavrel-find: %.2f (target <= 3)\n' "$(echo "$window / $cli" | bc -l)"
