#!/usr/bin/env bash
# Times the catalogue on a large tree, side by side in one run:
#   - a tree of FOLDERS folders (a tenth of a percent at the top, the rest one
#     level below) holding FILES files, 20 a folder: a shapefile (4 files)
#     and a raster (2 files), each a GIS file, and 14 plain files. Every file
#     is a hard link to a copy of a sample (a copy for every 2,000 folders:
#     a file has at most 65,000 links), every stamp an hour old;
#   - searches: by name (*.shp) and by area (Europe, inclusive, *.*);
#   - today's repeat search (KAVREL_CATALOGUE=off, footprint cache filled);
#   - the catalogue: its first fill, its answer alone (first rows and whole,
#     --catalogue-only), the answer confirmed against the disk (no watcher),
#     and with kavrel-watch vouching (the exact answer, no walk);
#   - kavrel-watch's start time and memory;
#   - beside them, by name only: plocate after updatedb, fd (or fdfind) and
#     find -iname, where installed.
#   bench/finder/catalogue_bench.sh [BUILD_DIR] [FOLDERS] [RUNS] [WORK_DIR]
# FOLDERS defaults to 50000 (1,000,000 files, 100,000 GIS); RUNS (default 3)
# runs give each best time. WORK_DIR (default a new temporary folder) keeps
# the tree between runs of the bench when given. Needs python3.
set -euo pipefail
build=${1:-$(cd "$(dirname "$0")/../.." && pwd)/build}
folders=${2:-50000}
runs=${3:-3}
work=${4:-}
find_bin=$build/bin/kavrel-find
watch_bin=$build/bin/kavrel-watch
samples=$build/share/kavrel/samples
for program in "$find_bin" "$watch_bin"; do
    [ -x "$program" ] || { echo "no $program: build first" >&2; exit 1; }
done
if [ -z "$work" ]; then
    work=$(mktemp -d)
    trap 'kill "${watcher:-0}" 2>/dev/null || true; rm -rf "$work"' EXIT
else
    mkdir -p "$work"
    trap 'kill "${watcher:-0}" 2>/dev/null || true' EXIT
fi
tree=$work/tree
export XDG_CACHE_HOME=$work/cache
unset KAVREL_CACHE KAVREL_CATALOGUE

# The tree, made once for a work folder.
if [ ! -e "$tree/.made-$folders" ]; then
    rm -rf "$tree" "$work/pool" "$work/cache"
    echo "making $folders folders of 20 files in $tree ..."
    python3 - "$samples" "$tree" "$folders" "$work/pool" <<'EOF'
import os, shutil, sys, time
samples, tree, folders, pool = sys.argv[1], sys.argv[2], int(sys.argv[3]), sys.argv[4]

def source(i, relative):
    # The copy of a sample the folder `i` links to.
    copy = os.path.join(pool, "%03d" % (i // 2000), relative)
    if not os.path.exists(copy):
        os.makedirs(os.path.dirname(copy), exist_ok=True)
        shutil.copyfile(os.path.join(samples, relative), copy)
    return copy

shapes = ["world/countries", "europe/central_etrs89", "usa/new_york_stateplane",
          "usa/us_cities", "world/cities"]
rasters = [("rasters/world_tfw.tif", "rasters/world_tfw.tfw"),
           ("rasters/europe_utm33.tif", "README.txt"),
           ("rasters/world_geo.tif", "README.txt")]
top = max(1, folders // 200)
made = 0
hour_ago = time.time() - 3600
paths = []
for t in range(top):
    upper = os.path.join(tree, "t%04d" % t)
    os.makedirs(upper, exist_ok=True)
    paths.append(upper)
per = (folders - top) // top + 1
for t in range(top):
    for s in range(per):
        if len(paths) >= folders:
            break
        folder = os.path.join(tree, "t%04d" % t, "s%04d" % s)
        os.makedirs(folder)
        paths.append(folder)
for i, folder in enumerate(paths):
    shape = shapes[i % len(shapes)]
    for ext in (".shp", ".shx", ".dbf", ".prj"):
        os.link(source(i, shape + ext), os.path.join(folder, "f%06d%s" % (i, ext)))
    tif, side = rasters[i % len(rasters)]
    os.link(source(i, tif), os.path.join(folder, "r%06d.tif" % i))
    side_ext = ".tfw" if side.endswith(".tfw") else ".txt"
    os.link(source(i, side), os.path.join(folder, "r%06d%s" % (i, side_ext)))
    for n in range(14):
        os.link(source(i, "README.txt"), os.path.join(folder, "note%02d.txt" % n))
# Every stamp an hour old: an archive, not a folder being written.
# (a link's time is its copy's).
for top_folder, _, names in os.walk(pool):
    for name in names:
        os.utime(os.path.join(top_folder, name), (hour_ago, hour_ago))
for folder in reversed(paths):
    os.utime(folder, (hour_ago, hour_ago))
os.utime(tree, (hour_ago, hour_ago))
EOF
    touch "$tree/.made-$folders"
fi
files=$(( folders * 20 ))
echo "tree: $folders folders, $files files, $(( folders * 2 )) GIS files (hard links)"

names=(--look-in "$tree" --named '*.shp')
area=(--look-in "$tree" --named '*.*' --area -30 75 60 25 --lat-lon)

# Seconds to the first line and to the end of a command's output, and its
# line count: "first total lines".
timed() {
    python3 - "$@" <<'EOF'
import subprocess, sys, time
start = time.monotonic()
p = subprocess.Popen(sys.argv[1:], stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
first = None
lines = 0
for line in p.stdout:
    if first is None:
        first = time.monotonic() - start
    lines += 1
p.wait()
total = time.monotonic() - start
print("%.3f %.3f %d" % (first if first is not None else total, total, lines))
EOF
}

# Best first and total times of `runs` runs: "first total lines".
best() {
    local best_first=999999 best_total=999999 lines=0 first total
    for _ in $(seq "$runs"); do
        read -r first total lines < <(timed "$@")
        best_first=$(python3 -c "print(min($best_first, $first))")
        best_total=$(python3 -c "print(min($best_total, $total))")
    done
    echo "$best_first $best_total $lines"
}

row() { printf '  %-58s %9s s %9s s %8s rows\n' "$1" "$2" "$3" "$4"; }
report() { local label=$1; shift; read -r f t l < <(best "$@"); row "$label" "$f" "$t" "$l"; }
once() { local label=$1; shift; read -r f t l < <(timed "$@"); row "$label" "$f" "$t" "$l"; }

echo "                                                              first row       whole"
echo "Footprint cache, no catalogue (as before it):"
KAVREL_CATALOGUE=off once "area, first search (reads every GIS file)" "$find_bin" "${area[@]}"
sync
export KAVREL_CATALOGUE=off
report "name *.shp, repeat search" "$find_bin" "${names[@]}"
report "area, repeat search (today's)" "$find_bin" "${area[@]}"
unset KAVREL_CATALOGUE

echo "Catalogue:"
once "area, first search with the catalogue (fills it)" "$find_bin" "${area[@]}"
# What the fill wrote reaches the disk before the reads are timed.
sync
report "name *.shp, from the catalogue alone" "$find_bin" "${names[@]}" --catalogue-only
report "area, from the catalogue alone" "$find_bin" "${area[@]}" --catalogue-only
report "name *.shp, confirmed against the disk (no watcher)" "$find_bin" "${names[@]}"
report "area, confirmed against the disk (no watcher)" "$find_bin" "${area[@]}"
du -sh "$XDG_CACHE_HOME/kavrel" | sed 's/^/  catalogue and cache on disk: /'

echo "kavrel-watch:"
"$watch_bin" 2>"$work/watch.log" &
watcher=$!
until grep -q "ready in" "$work/watch.log" 2>/dev/null; do
    kill -0 "$watcher" 2>/dev/null || { cat "$work/watch.log"; exit 1; }
    sleep 0.2
done
sed 's/^/  /' "$work/watch.log"
grep -E 'VmHWM|VmRSS' "/proc/$watcher/status" | sed 's/^/  watcher memory: /'
until "$find_bin" --catalogue-status | grep -qE "^Folders watched: ([0-9]+), vouched for: \1$"; do
    sleep 0.2
done
"$find_bin" --catalogue-status | sed -n '2,4p' | sed 's/^/  /'
if KAVREL_TRACE=1 "$find_bin" "${names[@]}" 2>&1 >/dev/null | grep -q "answered from the catalogue alone"; then
    echo "  (searches below are answered from the catalogue alone)"
fi
report "name *.shp, vouched by the watcher (exact)" "$find_bin" "${names[@]}"
report "area, vouched by the watcher (exact)" "$find_bin" "${area[@]}"
kill "$watcher"
wait "$watcher" 2>/dev/null || true

echo "Name only, other tools:"
if command -v updatedb >/dev/null && command -v plocate >/dev/null; then
    start=$(date +%s.%N)
    updatedb -l 0 -U "$tree" -o "$work/plocate.db"
    end=$(date +%s.%N)
    row "updatedb of the tree" "-" "$(python3 -c "print('%.3f' % ($end - $start))")" "-"
    report "plocate -i '*.shp'" plocate -d "$work/plocate.db" -i '*.shp'
else
    echo "  plocate: not installed"
fi
fd_bin=$(command -v fd || command -v fdfind || true)
if [ -n "$fd_bin" ]; then
    report "fd -I -e shp" "$fd_bin" -I -u -e shp . "$tree"
else
    echo "  fd: not installed"
fi
report "find -iname '*.shp'" find "$tree" -iname '*.shp'
