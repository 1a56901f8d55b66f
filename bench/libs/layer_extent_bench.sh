#!/usr/bin/env bash
# Times Mapora_LayerExtent (through mapora-info --extent) over 2,000 generated
# shapefiles and 200 GeoTIFFs in one folder each, beside a loop of
# `ogrinfo -so -al` / `gdalinfo` over the same files, and prints files per
# second and their ratio.
#   bench/libs/layer_extent_bench.sh [BUILD_DIR] [REFERENCE_SAMPLE]
# REFERENCE_SAMPLE (default 200) is how many files the GDAL tools are run
# on; their rate is measured on that many.
set -euo pipefail
. "$(dirname "$0")/../lib/gis_files.sh"
build=${1:-$(cd "$(dirname "$0")/../.." && pwd)/build}
sample=${2:-200}
info=$build/bin/mapora-info
[ -x "$info" ] || { echo "no $info: build libs/tools first" >&2; exit 1; }
export LD_LIBRARY_PATH=$build/lib${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

make_gis_files "$work"

now() { date +%s.%N; }
rate() { awk -v n="$1" -v s="$2" -v e="$3" 'BEGIN { printf "%.1f", n / (e - s) }'; }

measure() { # label, files...
    local label=$1
    shift
    local n=$#
    local start end known
    start=$(now)
    known=$("$info" --extent "$@" | grep -c '^extent: [-0-9]')
    end=$(now)
    [ "$known" -eq "$n" ] || { echo "$label: only $known of $n extents known" >&2; exit 1; }
    echo "$(rate "$n" "$start" "$end")"
}

measure_tool() { # command, files...
    local tool=$1
    shift
    local start end
    start=$(now)
    for f in "$@"; do $tool "$f" >/dev/null; done
    end=$(now)
    echo "$(rate $# "$start" "$end")"
}

measure_each() { # mapora-info started once per file, like the tools
    local start end
    start=$(now)
    for f in "$@"; do "$info" --extent "$f" >/dev/null; done
    end=$(now)
    echo "$(rate $# "$start" "$end")"
}

shp=("$work"/shp/*.shp)
tif=("$work"/tif/*.tif)
shp_lib=$(measure shapefiles "${shp[@]}")
tif_lib=$(measure geotiffs "${tif[@]}")
shp_ref=$(measure_tool "ogrinfo -ro -so -al" "${shp[@]:0:$sample}")
tif_ref=$(measure_tool gdalinfo "${tif[@]:0:$sample}")
shp_each=$(measure_each "${shp[@]:0:$sample}")
tif_each=$(measure_each "${tif[@]:0:$sample}")

printf "%-10s %6s %18s %22s %18s %8s\n" files count "library files/s" "one process per file/s" "GDAL tool files/s" ratio
printf "%-10s %6d %18s %22s %18s %8s\n" shapefile ${#shp[@]} "$shp_lib" "$shp_each" "$shp_ref" \
    "$(awk -v a="$shp_lib" -v b="$shp_ref" 'BEGIN { printf "%.1fx", a / b }')"
printf "%-10s %6d %18s %22s %18s %8s\n" geotiff ${#tif[@]} "$tif_lib" "$tif_each" "$tif_ref" \
    "$(awk -v a="$tif_lib" -v b="$tif_ref" 'BEGIN { printf "%.1fx", a / b }')"
