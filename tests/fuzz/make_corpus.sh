#!/usr/bin/env bash
# Writes the seed corpora of the harnesses into tests/fuzz/corpus/<harness>/
# from files our build and GDAL's tools make: tests/fuzz/make_corpus.sh [BUILD]
# (a normal build folder with its sample data, default build/). Seeds found
# by fuzzing (crashes turned into regression inputs) live beside them under
# other names and are kept.
set -euo pipefail
here=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$here/build}
samples=$build/share/kavrel/samples
corpus=$here/tests/fuzz/corpus
[ -d "$samples" ] || { echo "make_corpus: no sample data in $build" >&2; exit 1; }
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
seed() { mkdir -p "$corpus/$1" && cat >"$corpus/$1/$2"; }
texts() { # harness, then lines: each line becomes one seed file
    local harness=$1 n=0
    shift
    for line in "$@"; do
        n=$((n + 1))
        printf '%s' "$line" | seed "$harness" "text-$n"
    done
}

# Registry hives: the installed ones and one with every kind of value line;
# the last one carries an edit after a NUL (type, key, name, NUL, value).
seed hive_text default-user.reg <"$here/data/default-user.reg"
seed hive_text system.reg <"$here/data/system.reg.in"
kinds='REGEDIT4

; every kind of value line
[HKEY_LOCAL_MACHINE\Software\Quorvane Geo\Morvane Find]
"Options"=dword:0000000a
@="default"
"Path"="C:\\Data \"main\"\\x"
"Blob"=hex:01,02,\
  ff
"Multi"=hex(7):61,00,00,00
[-Software\Removed]
[HKCU\Software\Other]
"Text"="x"
'
printf '%s' "$kinds" | seed hive_text kinds.reg
{ printf '%s\0' "$kinds"; printf '\x03\x81Blob\0\x01\x02\x03'; } | seed hive_text kinds-edit.reg

# ADRG: the sample set and a set of 2 x 2 tiles, both written by GDAL. The
# image harness takes 4 request bytes, the .GEN, "----IMG----" and the image;
# the image is cut to its first tile (or less) to keep seeds small.
gen=$samples/rasters/adrg/ATLANT01.GEN
gdal_translate -q -of ADRG -b 1 -b 1 -b 1 -outsize 200 150 -projwin -40 70 0 40 \
    "$samples/rasters/world_geo.tif" "$tmp/QUADRA01.GEN"
seed adrg_gen atlant01.gen <"$gen"
seed adrg_gen quadra01.gen <"$tmp/QUADRA01.GEN"
image_seed() { # name, flag bytes, .GEN, .IMG, bytes of the image kept
    { printf "$2"; cat "$3"; printf -- '----IMG----'; head -c "$5" "$4"; } | seed adrg_image "$1"
}
image_seed atlant01 '\x40\x02\x10\x00' "$gen" "${gen%.GEN}.IMG" 51200
image_seed quadra01-cut '\x26\xfe\x40\xf0' "$tmp/QUADRA01.GEN" "$tmp/QUADRA01.IMG" 3000
image_seed quadra01-overview '\x01\x00\x00\x00' "$tmp/QUADRA01.GEN" "$tmp/QUADRA01.IMG" 100

# MapInfo tables: the sample raster table, a vector table's header, an empty one.
seed raster_tab world_tab.tab <"$samples/rasters/world_tab.tab"
seed raster_tab countries.tab <"$samples/world/countries.tab"
seed raster_tab empty.tab <"$samples/broken/empty.tab"

# Shapefile headers: the main files and indexes of three samples, each cut
# after its first records, and one without its index.
for layer in world/countries world/cities europe/europe_utm33; do
    head -c 164 "$samples/$layer.shp" | seed shape_header "$(basename "$layer").shp"
    head -c 132 "$samples/$layer.shx" | seed shape_header "$(basename "$layer").shx"
done
head -c 164 "$samples/broken/no_index.shp" | seed shape_header no_index.shp

# GeoTIFF directories: small images in degrees and in UTM 33N, pixels as
# areas and as points, one tiled and big-endian.
gdal_create -q -of GTiff -outsize 4 3 -bands 1 -a_srs EPSG:4326 -a_ullr 10 50 11 49 "$tmp/area.tif"
gdal_create -q -of GTiff -outsize 4 3 -bands 1 -a_srs EPSG:32633 -a_ullr 400000 5600000 400120 5599910 \
    -mo AREA_OR_POINT=Point "$tmp/point.tif"
gdal_create -q -of GTiff -outsize 4 3 -bands 1 -a_srs EPSG:4326 -a_ullr 10 50 11 49 \
    -co TILED=YES -co BLOCKXSIZE=16 -co BLOCKYSIZE=16 -co ENDIANNESS=BIG "$tmp/tiled.tif"
for tif in area point tiled; do
    seed tiff_header "$tif.tif" <"$tmp/$tif.tif"
done

# The coordinate-system database: the first records of the real one, as read
# (with its trailer: CRC-32 from gzip's own trailer) and as records only.
db=$build/share/kavrel/datora.dat
{
    head -n 13 "$db"
    printf 'G\tLAT-LONG\tLongitude / Latitude\t0,1,2,5,7\n'
    grep -m 2 -P '^S\tLAT-LONG' "$db" | awk -F'\t' -v OFS='\t' '{ $4 = NR; print }'
    printf 'G\tUTM\tUniversal Transverse Mercator (UTM)\t3,4\n'
    printf 'S\tUTM-33N\tUTM zone 33N\t4\tMETERS\n'
} >"$tmp/body"
crc=$(gzip -c <"$tmp/body" | tail -c 8 | head -c 4 | od -An -tx4 | tr -d ' \n')
records=$(($(wc -l <"$tmp/body") - 1))
{ cat "$tmp/body"; printf 'END\t%d\t%s\n' "$records" "$crc"; } | seed datora_db small.dat
seed datora_db records.txt <"$tmp/body"

# Texts of the boxes: latitude/longitude as users type them and as the
# library writes them; the four corner boxes; dates and month/day counts.
texts latlon "45.5" "-122.25" "45 30 15.5N" "N45°30'15.50\"" "12°30'00.00\"S" \
    "W 71 03 36" "179.999999" "90" "-0" "1 2 3 4" "45° 30′ 15″ E" "$(printf '12\xb030\x27N')"
texts corner_text "$(printf -- '-10\n60\n30\n35')" "$(printf 'W 10 30\nN 60\nE 30\n35 30 00N')" \
    "$(printf '500000\n6000000\n600000\n5900000')" "$(printf '1e3\n-.5\n+7.\nabc')"
texts date_text "3/7/1999" "12/31/2107" "01/01/1980" " 6/ 15/ 2001" "13/32/1979" "6" "-1" \
    "99999999999"

# Saved searches as kavrel-find writes them: criteria only, and with rows.
find_tool=$build/bin/kavrel-find
"$find_tool" --named '*.shp' --look-in "$samples" --months 6 --save-search "$tmp/plain.wqs" \
    >/dev/null 2>&1
"$find_tool" --named '*.tif' --look-in "$samples" --size-at-most 900 --save-search \
    "$tmp/rows.wqs" --save-results >/dev/null 2>&1
seed saved_search plain.wqs <"$tmp/plain.wqs"
seed saved_search rows.wqs <"$tmp/rows.wqs"
echo "make_corpus: seeds written to $corpus"
