#!/usr/bin/env bash
# Writes the world map of the selection map, world.tab (.map .dat .id), as a
# MapInfo table in longitude/latitude WGS 84 from the Natural Earth countries:
#   make_world.sh NATURAL_EARTH_DIR OUTPUT_DIR
# Fields have fixed widths and Windows-1252 text, as MapInfo tables carry them.
set -euo pipefail

src=${1:?natural earth folder}
out=${2:?output folder}
countries=$src/naturalearth_lowres/naturalearth_lowres.shp
[ -f "$countries" ] || { echo "make_world: missing $countries" >&2; exit 1; }
export GDAL_PAM_ENABLED=NO LC_ALL=C

mkdir -p "$out"
tmp=$(mktemp -d "${out%/}/world.tmp.XXXXXX")
trap 'rm -rf "$tmp"' EXIT
ogr2ogr -q -f "MapInfo File" -lco ENCODING=CP1252 \
    -a_srs EPSG:4326 "$tmp/world.tab" "$countries" -nln world -sql \
    "SELECT CAST(name AS character(40)) AS name, CAST(iso_a3 AS character(3)) AS iso_a3,
            CAST(continent AS character(24)) AS continent, CAST(pop_est AS integer) AS pop_est
     FROM naturalearth_lowres"
# The table (.tab) last, so that its date marks a complete set.
for ext in map dat id tab; do
    mv -f "$tmp/world.$ext" "$out/world.$ext"
done
