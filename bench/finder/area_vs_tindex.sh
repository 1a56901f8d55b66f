#!/usr/bin/env bash
# Times kavrel-find's area search beside GDAL's ogrtindex / gdaltindex
# building a longitude/latitude tile index of the same files:
#   - 2,000 generated shapefiles and 200 GeoTIFFs (half in longitude/latitude,
#     half in UTM 33N), each kind in a folder of its own;
#   - one folder of 20,000 files: 4,500 shapefiles (18,000 files) and 2,000
#     GeoTIFFs, searched with "*.*" (the tools get the shapefiles and the
#     GeoTIFFs, one after the other);
#   - 1,000 GeoPackages, 1,000 FlatGeobuf files and 500 GeoJSON files (beside
#     ogrtindex), and 200 LAS files (ogrtindex cannot read them: files per
#     second only).
# kavrel-find runs cold (--no-cache: every file read), filling an empty
# footprint cache, and warm (the cache filled by an earlier search).
#   bench/finder/area_vs_tindex.sh [BUILD_DIR] [RUNS] [LOOP_SAMPLE]
# Each timing is the best wall time of RUNS (default 3). With LOOP_SAMPLE
# (default 0: none), a loop of `ogrinfo -so` / `gdalinfo` started once per
# file is timed on that many files as well. Prints files per second and the
# ratios to the tools, and CPU seconds (user + system) of each best run.
set -euo pipefail
. "$(dirname "$0")/../lib/gis_files.sh"
build=${1:-$(cd "$(dirname "$0")/../.." && pwd)/build}
runs=${2:-3}
sample=${3:-0}
find_bin=$build/bin/kavrel-find
[ -x "$find_bin" ] || { echo "no $find_bin: build the finder first" >&2; exit 1; }
export LD_LIBRARY_PATH=$build/lib${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/out" "$work/big"
export XDG_CACHE_HOME=$work/cache
unset KAVREL_CACHE

make_gis_files "$work"
make_today_files "$work"
copy_gis_files "$work" "$work/big" 4500 s%05d "$work/big" 2000 t%05d
# The cache keeps nothing younger than two seconds.
sleep 3

# Best wall time of `runs` runs of a command (or function), in seconds, and
# the CPU time of that run: "wall cpu". `prepare` (if set) runs untimed
# before each run.
TIMEFORMAT="%R %U %S"
best() {
    local best_wall="" best_cpu="" line wall cpu
    for _ in $(seq "$runs"); do
        rm -rf "$work/out"/*
        [ -n "${prepare:-}" ] && $prepare
        { time "$@" >/dev/null 2>&1; } 2>"$work/time"
        line=$(tail -1 "$work/time")
        wall=$(awk '{ print $1 }' <<<"$line")
        cpu=$(awk '{ print $2 + $3 }' <<<"$line")
        if [ -z "$best_wall" ] || awk -v a="$wall" -v b="$best_wall" 'BEGIN { exit !(a < b) }'; then
            best_wall=$wall
            best_cpu=$cpu
        fi
    done
    echo "$best_wall $best_cpu"
}
wall() { awk '{ print $1 }' <<<"$1"; }
cpu() { awk '{ print $2 }' <<<"$1"; }
rate() { awk -v n="$1" -v t="$(wall "$2")" 'BEGIN { printf "%.0f", n / (t > 0 ? t : 0.005) }'; }
ratio() { awk -v a="$(wall "$1")" -v b="$(wall "$2")" 'BEGIN { printf "%.1fx", b / (a > 0 ? a : 0.005) }'; }
loop() { # tool, files...
    local tool=$1
    shift
    for f in "$@"; do $tool "$f"; done
}
empty_cache() { rm -rf "$XDG_CACHE_HOME"; }
tindex_both() { # the big folder's shapefiles, then its GeoTIFFs
    ogrtindex -t_srs EPSG:4326 -accept_different_schemas "$work/out/s.shp" "$work"/big/*.shp
    gdaltindex -t_srs EPSG:4326 "$work/out/t.shp" "$work"/big/*.tif
}

# The area covers Europe; the same counts must come out of every mode,
# with and without the cache.
area=(--area -30 75 60 25 --lat-lon)
for kind in shp tif big gpkg fgb geojson las; do
    case $kind in
    shp) pattern='*.shp' want=2000 ;;
    tif) pattern='*.tif' want=200 ;;
    big) pattern='*.*' want=6500 ;;
    gpkg) pattern='*.gpkg' want=1000 ;;
    fgb) pattern='*.fgb' want=1000 ;;
    geojson) pattern='*.geojson' want=500 ;;
    las) pattern='*.las' want=200 ;;
    esac
    for cache in --no-cache "" ""; do
        total=0
        for mode in --inclusive --intersection --exclusive; do
            n=$("$find_bin" --look-in "$work/$kind" --named "$pattern" "${area[@]}" $mode $cache \
                2>/dev/null | wc -l)
            total=$((total + n))
        done
        [ "$total" -eq "$want" ] || { echo "$kind $cache: the modes found $total of $want files" >&2; exit 1; }
    done
done

search() { # folder, pattern, more options
    "$find_bin" --look-in "$work/$1" --named "$2" "${area[@]}" --intersection "${@:3}"
}
printf "%-18s %6s %10s %10s %10s %10s %9s %9s %9s\n" files count "cold/s" "filling/s" "warm/s" \
    "tindex/s" "cold" "filling" "warm"
cpu_lines=()
for kind in shp tif big gpkg fgb geojson las; do
    case $kind in
    shp) pattern='*.shp' label=shapefile n=2000 ;;
    tif) pattern='*.tif' label=geotiff n=200 ;;
    big) pattern='*.*' label="20,000-file folder" n=6500 ;;
    gpkg) pattern='*.gpkg' label=geopackage n=1000 ;;
    fgb) pattern='*.fgb' label=flatgeobuf n=1000 ;;
    geojson) pattern='*.geojson' label=geojson n=500 ;;
    las) pattern='*.las' label="las (no tindex)" n=200 ;;
    esac
    cold=$(best search "$kind" "$pattern" --no-cache)
    filling=$(prepare=empty_cache best search "$kind" "$pattern")
    search "$kind" "$pattern" >/dev/null 2>&1
    warm=$(best search "$kind" "$pattern")
    case $kind in
    shp) tindex=$(best ogrtindex -t_srs EPSG:4326 -accept_different_schemas "$work/out/index.shp" \
        "$work"/shp/*.shp) ;;
    tif) tindex=$(best gdaltindex -t_srs EPSG:4326 "$work/out/index.shp" "$work"/tif/*.tif) ;;
    big) tindex=$(best tindex_both) ;;
    gpkg | fgb | geojson) tindex=$(best ogrtindex -t_srs EPSG:4326 -accept_different_schemas \
        "$work/out/index.shp" "$work/$kind"/*."$kind") ;;
    las) tindex="0 0" ;;
    esac
    t_rate=$(rate $n "$tindex") r_cold=$(ratio "$cold" "$tindex")
    r_fill=$(ratio "$filling" "$tindex") r_warm=$(ratio "$warm" "$tindex")
    [ "$kind" = las ] && t_rate=- r_cold=- r_fill=- r_warm=-
    printf "%-18s %6d %10s %10s %10s %10s %9s %9s %9s\n" "$label" "$n" "$(rate $n "$cold")" \
        "$(rate $n "$filling")" "$(rate $n "$warm")" "$t_rate" "$r_cold" "$r_fill" "$r_warm"
    cpu_lines+=("$(printf "%-18s cpu s: cold %s, filling %s, warm %s, tindex %s" "$label" \
        "$(cpu "$cold")" "$(cpu "$filling")" "$(cpu "$warm")" "$(cpu "$tindex")")")
done
printf "%s\n" "${cpu_lines[@]}"

if [ "$sample" -gt 0 ]; then
    shp=("$work"/shp/*.shp)
    tif=("$work"/tif/*.tif)
    l_shp=$(best loop "ogrinfo -ro -so -al" "${shp[@]:0:$sample}")
    l_tif=$(best loop gdalinfo "${tif[@]:0:$sample}")
    echo "one ogrinfo per shapefile: $(rate "$sample" "$l_shp") files/s;" \
        "one gdalinfo per GeoTIFF: $(rate "$sample" "$l_tif") files/s"
fi
