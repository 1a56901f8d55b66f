#!/usr/bin/env bash
# Times kavrel-find's area test over 2,000 generated shapefiles and 200
# GeoTIFFs (half in longitude/latitude, half in UTM 33N) beside GDAL's
# ogrtindex / gdaltindex building a longitude/latitude tile index of the same
# files, and beside a loop of `ogrinfo -so` (`gdalinfo` for the rasters)
# started once per file. Prints files per second and the ratios.
#   bench/finder/area_vs_tindex.sh [BUILD_DIR] [RUNS] [LOOP_SAMPLE]
# Each timing is the best of RUNS (default 3); the per-file tool loop is run
# on LOOP_SAMPLE files (default 200) and its rate scaled to files per second.
set -euo pipefail
. "$(dirname "$0")/../lib/gis_files.sh"
build=${1:-$(cd "$(dirname "$0")/../.." && pwd)/build}
runs=${2:-3}
sample=${3:-200}
find_bin=$build/bin/kavrel-find
[ -x "$find_bin" ] || { echo "no $find_bin: build the finder first" >&2; exit 1; }
export LD_LIBRARY_PATH=$build/lib${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/out"

make_gis_files "$work"

now() { date +%s.%N; }
# Best wall time of `runs` runs of a command, in seconds.
best() {
    local best_time="" start end t
    for _ in $(seq "$runs"); do
        rm -rf "$work/out"/*
        start=$(now)
        "$@" >/dev/null 2>&1
        end=$(now)
        t=$(awk -v s="$start" -v e="$end" 'BEGIN { print e - s }')
        best_time=$(awk -v a="$best_time" -v b="$t" 'BEGIN { print (a == "" || b < a) ? b : a }')
    done
    echo "$best_time"
}
loop() { # tool, files...
    local tool=$1
    shift
    for f in "$@"; do $tool "$f"; done
}
rate() { awk -v n="$1" -v t="$2" 'BEGIN { printf "%.0f", n / t }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.1fx", b / a }'; }

# The area covers Europe; the same counts must come out of every mode.
area=(--area -30 75 60 25 --lat-lon)
for kind in shp tif; do
    [ "$kind" = shp ] && pattern='*.shp' || pattern='*.tif'
    total=0
    for mode in --inclusive --intersection --exclusive; do
        n=$("$find_bin" --look-in "$work/$kind" --named "$pattern" "${area[@]}" $mode 2>/dev/null | wc -l)
        total=$((total + n))
        echo "$kind $mode: $n files" >&2
    done
    want=$([ "$kind" = shp ] && echo 2000 || echo 200)
    [ "$total" -eq "$want" ] || { echo "$kind: the modes found $total of $want files" >&2; exit 1; }
done

shp=("$work"/shp/*.shp)
tif=("$work"/tif/*.tif)
k_shp=$(best "$find_bin" --look-in "$work/shp" --named '*.shp' "${area[@]}" --intersection)
k_tif=$(best "$find_bin" --look-in "$work/tif" --named '*.tif' "${area[@]}" --intersection)
t_shp=$(best ogrtindex -t_srs EPSG:4326 -accept_different_schemas "$work/out/index.shp" "${shp[@]}")
t_tif=$(best gdaltindex -t_srs EPSG:4326 "$work/out/index.shp" "${tif[@]}")
l_shp=$(best loop "ogrinfo -ro -so -al" "${shp[@]:0:$sample}")
l_tif=$(best loop gdalinfo "${tif[@]:0:$sample}")
n_shp=${#shp[@]}
n_tif=${#tif[@]}
ls_rate=$(rate "$sample" "$l_shp")
lt_rate=$(rate "$sample" "$l_tif")

printf "%-10s %6s %14s %14s %14s %12s %12s\n" files count "kavrel-find/s" "tindex/s" "info loop/s" \
    "vs tindex" "vs loop"
printf "%-10s %6d %14s %14s %14s %12s %12s\n" shapefile "$n_shp" "$(rate "$n_shp" "$k_shp")" \
    "$(rate "$n_shp" "$t_shp")" "$ls_rate" "$(ratio "$k_shp" "$t_shp")" \
    "$(awk -v k="$(rate "$n_shp" "$k_shp")" -v l="$ls_rate" 'BEGIN { printf "%.1fx", k / l }')"
printf "%-10s %6d %14s %14s %14s %12s %12s\n" geotiff "$n_tif" "$(rate "$n_tif" "$k_tif")" \
    "$(rate "$n_tif" "$t_tif")" "$lt_rate" "$(ratio "$k_tif" "$t_tif")" \
    "$(awk -v k="$(rate "$n_tif" "$k_tif")" -v l="$lt_rate" 'BEGIN { printf "%.1fx", k / l }')"
