#!/usr/bin/env bash
# Decoding speed of imdlhost (through rastrel) against GDAL on one large ADRG
# set: imdlhost writes palette indices, gdal_translate writes the RGB as ENVI.
# Prints the best of several wall times of each and their ratio.
#   bench/adrg/decode_bench.sh [BUILD_DIR] [TILES] [RUNS]
set -euo pipefail
build=${1:-$(cd "$(dirname "$0")/../.." && pwd)/build}
tiles=${2:-40}
runs=${3:-3}
imdlhost=$build/bin/imdlhost
[[ -x $imdlhost ]] || { echo "no $imdlhost: build first" >&2; exit 1; }
command -v gdal_translate >/dev/null || { echo "gdal_translate is missing" >&2; exit 1; }

work=$(mktemp -d "${TMPDIR:-/tmp}/adrg-bench-XXXXXX")
trap 'rm -rf "$work"' EXIT
size=$((tiles * 128))

# A varied source: a small noisy picture scaled up, so tiles differ.
python3 - "$work/seed.ppm" <<'PY'
import random, sys
random.seed(7)
w = h = 200
pixels = bytearray()
for y in range(h):
    for x in range(w):
        pixels += bytes(((x * 3 + random.randrange(40)) % 256,
                         (y * 5 + random.randrange(40)) % 256,
                         ((x ^ y) + random.randrange(40)) % 256))
with open(sys.argv[1], "wb") as f:
    f.write(b"P6 %d %d 255\n" % (w, h) + pixels)
PY
gdal_translate -q -of GTiff -outsize "$size" "$size" -r bilinear -a_srs EPSG:4326 \
    -a_ullr 10 50 15 45 "$work/seed.ppm" "$work/source.tif"
mkdir "$work/set"
gdal_translate -q -of ADRG "$work/source.tif" "$work/set/ABCDEF01.GEN"
rm -f "$work/source.tif" "$work/set/ABCDEF01.GEN.aux.xml"

# Best wall time in seconds of a command over $runs runs.
best_of() {
    local best=""
    for _ in $(seq "$runs"); do
        local start end
        start=$(date +%s.%N)
        "$@" >/dev/null
        end=$(date +%s.%N)
        best=$(echo "$start $end ${best:-inf}" |
            awk '{t = $2 - $1; if ($3 == "inf" || t < $3) print t; else print $3}')
    done
    echo "$best"
}

ours=$(best_of "$imdlhost" "$work/set/ABCDEF01.IMG" --indices "$work/out.raw")
gdal=$(best_of gdal_translate -q -of ENVI "$work/set/ABCDEF01.GEN" "$work/out.envi")
echo "set:            ${tiles} x ${tiles} tiles (${size} x ${size} pixels)"
echo "imdlhost:       ${ours} s (indices)"
echo "gdal_translate: ${gdal} s (RGB, ENVI)"
awk -v a="$ours" -v b="$gdal" 'BEGIN { printf "ratio:          %.3f (target at most 0.5)\n", a / b }'
