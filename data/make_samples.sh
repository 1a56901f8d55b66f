#!/usr/bin/env bash
# Writes the sample folder tree with GDAL's own tools from the Natural Earth
# countries and populated places:
#   make_samples.sh NATURAL_EARTH_DIR OUTPUT_DIR
# The tree is built in a scratch folder beside OUTPUT_DIR and moved into place
# only when every step succeeded, so a failed run never leaves half a tree.
# README.txt is written last: the build uses it as the sign of a complete tree.
set -euo pipefail

src=${1:?natural earth folder}
out=${2:?output folder}
countries=$src/naturalearth_lowres/naturalearth_lowres.shp
cities=$src/naturalearth_cities/naturalearth_cities.shp
for f in "$countries" "$cities"; do
    [ -f "$f" ] || { echo "make_samples: missing $f" >&2; exit 1; }
done

# Same bytes on every run, where the tools allow it.
export GDAL_PAM_ENABLED=NO          # no .aux.xml side files
export TZ=UTC LC_ALL=C
stamp=2000-01-01                    # date written into .dbf headers

tmp=$(mktemp -d "${out%/}.tmp.XXXXXX")
trap 'rm -rf "$tmp"' EXIT
mkdir -p "$tmp"/{world,europe,usa,rasters/adrg,cad,misc,broken,"with blank",formats}

vec() { # ogr2ogr quietly
    ogr2ogr -q "$@"
}
shp() { # destination, source, ogr2ogr options...
    local dst=$1 from=$2
    shift 2
    vec -f "ESRI Shapefile" -lco DBF_DATE_LAST_UPDATE=$stamp -lco ENCODING=UTF-8 "$dst" "$from" "$@"
}

# Fields cut to fixed widths, as MapInfo tables want them (shapefiles take
# the population as a wider integer).
fields="CAST(name AS character(40)) AS name, CAST(iso_a3 AS character(3)) AS iso_a3,
  CAST(continent AS character(24)) AS continent"
country_sql="SELECT $fields, CAST(pop_est AS integer) AS pop_est FROM naturalearth_lowres"
country_shp_sql="SELECT $fields, CAST(pop_est AS integer(12)) AS pop_est FROM naturalearth_lowres"
city_sql="SELECT CAST(name AS character(40)) AS name FROM naturalearth_cities"
in_europe="continent = 'Europe'"
# CAD layers take no attribute fields: the geometry only, on a layer per continent.
cad_sql="SELECT geometry, continent AS Layer FROM naturalearth_lowres"

# world/: longitude/latitude WGS 84 (EPSG:4326) in every vector format.
shp "$tmp/world/countries.shp" "$countries" -sql "$country_shp_sql" -nln countries
shp "$tmp/world/cities.shp" "$cities" -sql "$city_sql" -nln cities
vec -f "MapInfo File" -lco ENCODING=CP1252 "$tmp/world/countries.tab" "$countries" \
    -sql "$country_sql" -nln countries
vec -f "MapInfo File" -dsco FORMAT=MIF -lco ENCODING=CP1252 "$tmp/world/cities.mif" "$cities" \
    -sql "$city_sql" -nln cities

# europe/: the countries of Europe (mainland and islands, without the far
# east of Russia) in UTM zone 33N on WGS 84 and on ETRS89.
europe=(-clipsrc -25 34 45 72 -t_srs EPSG:32633)
shp "$tmp/europe/europe_utm33.shp" "$countries" "${europe[@]}" \
    -sql "$country_shp_sql WHERE $in_europe" -nln europe_utm33
shp "$tmp/europe/central_etrs89.shp" "$countries" -where "iso_a3 IN ('DEU','POL','CZE','AUT')" \
    -t_srs EPSG:25833 -select name,iso_a3 -nln central_etrs89
vec -f "MapInfo File" -dsco FORMAT=MIF -lco ENCODING=CP1252 "$tmp/europe/europe_utm33.mif" \
    "$countries" "${europe[@]}" -sql "$country_sql WHERE $in_europe" -nln europe_utm33

# usa/: New York Long Island State Plane, US survey feet (EPSG:2263).
shp "$tmp/usa/new_york_stateplane.shp" "$countries" -where "iso_a3 IN ('USA','CAN')" \
    -clipsrc -80 40 -71 45.1 -t_srs EPSG:2263 -select name,iso_a3 -nln new_york_stateplane
shp "$tmp/usa/us_cities.shp" "$cities" -spat -125 24 -66 50 -nln us_cities

# cad/: drawings without a coordinate system. DXF in degrees; DGN (version 7,
# 2D) in metres of UTM 33N, since its integer units lose degree fractions.
vec -f DXF "$tmp/cad/world.dxf" "$countries" -dialect SQLite -sql "$cad_sql"
vec -f DGN -dsco 3D=NO "$tmp/cad/europe.dgn" "$countries" "${europe[@]}" \
    -dialect SQLite -sql "SELECT geometry FROM naturalearth_lowres WHERE $in_europe"

# rasters/: the countries burnt into a half-degree grid (one value per
# country), as GeoTIFF, then as plain images with world files or a MapInfo
# raster table.
burn_sql="SELECT geometry, (rowid % 200) + 40 AS v FROM naturalearth_lowres"
gdal_rasterize -q -dialect SQLite -sql "$burn_sql" -a v -init 0 -ot Byte \
    -te -180 -90 180 90 -ts 720 360 -a_srs EPSG:4326 -co COMPRESS=DEFLATE \
    "$countries" "$tmp/rasters/world_geo.tif"
plain=(-q -co PROFILE=BASELINE)
gdal_translate "${plain[@]}" -co TFW=YES "$tmp/rasters/world_geo.tif" "$tmp/rasters/world_tfw.tif"
gdal_translate -q -of JPEG -co QUALITY=85 -co WORLDFILE=YES \
    "$tmp/rasters/world_geo.tif" "$tmp/rasters/world_jgw.jpg"
mv "$tmp/rasters/world_jgw.wld" "$tmp/rasters/world_jgw.jgw"
gdal_translate -q -of BMP -co WORLDFILE=YES "$tmp/rasters/world_geo.tif" "$tmp/rasters/world_wld.bmp"
gdal_translate "${plain[@]}" "$tmp/rasters/world_geo.tif" "$tmp/rasters/world_tab.tif"
cat >"$tmp/rasters/world_tab.tab" <<'EOF'
!table
!version 300
!charset WindowsLatin1

Definition Table
  File "world_tab.tif"
  Type "RASTER"
  (-180,90) (0,0) Label "Pt 1",
  (180,90) (720,0) Label "Pt 2",
  (180,-90) (720,360) Label "Pt 3",
  (-180,-90) (0,360) Label "Pt 4"
  CoordSys Earth Projection 1, 104
  Units "degree"
EOF
# A UTM raster: Europe burnt at 10 km.
gdal_rasterize -q -a pop_est -init 0 -ot Float32 -tr 10000 10000 -co COMPRESS=DEFLATE \
    "$tmp/europe/europe_utm33.shp" "$tmp/rasters/europe_utm33.tif"
# ADRG needs three bands in longitude/latitude; a north Atlantic window.
gdal_translate -q -of ADRG -b 1 -b 1 -b 1 -projwin -40 70 0 40 \
    "$tmp/rasters/world_geo.tif" "$tmp/rasters/adrg/ATLANT01.GEN"

# with blank/: names with blanks and upper-case extensions.
shp "$tmp/with blank/capital cities.shp" "$cities" -nln "capital cities"
for ext in shp shx dbf prj cpg; do
    up=$(tr '[:lower:]' '[:upper:]' <<<"$ext")
    mv "$tmp/with blank/capital cities.$ext" "$tmp/with blank/Capital Cities.$up"
done
vec -f "MapInfo File" -lco ENCODING=CP1252 "$tmp/with blank/South America.tab" "$countries" \
    -sql "$country_sql WHERE continent = 'South America'" -nln "South America"

# misc/: files that are not geographic data.
vec -f CSV -lco GEOMETRY=AS_XY "$tmp/misc/cities.csv" "$cities"
printf '%s\n' "Notes kept beside the data; not a map." >"$tmp/misc/notes.txt"
printf '%%PDF-1.4\n%%\xe2\xe3\xcf\xd3\n1 0 obj << /Type /Catalog >> endobj\ntrailer << /Root 1 0 R >>\n%%%%EOF\n' \
    >"$tmp/misc/report.pdf"
head -c 4096 /dev/zero | tr '\0' '\125' >"$tmp/misc/blob.bin"

# broken/: damaged files with the names of layers, which readers must refuse
# or read only in part, without harm: a shapefile without its index, a GeoTIFF
# cut short, an empty table and a MIF that is only text.
shp "$tmp/broken/no_index.shp" "$cities" -nln no_index
rm "$tmp/broken/no_index.shx"
head -c 2048 "$tmp/rasters/world_tfw.tif" >"$tmp/broken/truncated.tif"
: >"$tmp/broken/empty.tab"
printf '%s\n' "Nothing here but a line of text." >"$tmp/broken/garbage.mif"

# formats/: one small file of every kind beyond the layer table, written
# by GDAL's tools (point clouds by make_las.py, photos tagged by exiftool).
f=$tmp/formats
here=$(cd "$(dirname "$0")" && pwd)
vec -f GPKG "$f/countries.gpkg" "$tmp/world/countries.shp" -nln countries -nlt PROMOTE_TO_MULTI
vec -f GPKG -update "$f/countries.gpkg" "$tmp/europe/europe_utm33.shp" -nln europe_utm33 \
    -nlt PROMOTE_TO_MULTI
vec -f GPKG "$f/attributes_only.gpkg" "$tmp/misc/cities.csv" -nln places
vec -f GeoJSON "$f/cities.geojson" "$tmp/world/cities.shp"
vec -f FlatGeobuf "$f/europe_utm33.fgb" "$tmp/europe/europe_utm33.shp" -nlt PROMOTE_TO_MULTI
vec -f KML "$f/cities.kml" "$tmp/world/cities.shp"
vec -f LIBKML "$f/south_america.kmz" "$tmp/with blank/South America.tab"
vec -f GML "$f/central_etrs89.gml" "$tmp/europe/central_etrs89.shp"
vec -f SQLite -dsco SPATIALITE=YES -dsco INIT_WITH_EPSG=NO "$f/cities.sqlite" "$tmp/world/cities.shp"
vec -f OpenFileGDB "$f/world.gdb" "$tmp/world/countries.shp" -nln countries -nlt PROMOTE_TO_MULTI
vec -f OpenFileGDB -update "$f/world.gdb" "$tmp/world/cities.shp" -nln cities
small=(-q -outsize 180 90)
gdal_translate "${small[@]}" "$tmp/rasters/world_geo.tif" "$f/world.tiff"
gdal_translate "${small[@]}" -of JP2OpenJPEG "$tmp/rasters/world_geo.tif" "$f/world.jp2"
gdal_translate -q -outsize 25% 25% -of netCDF "$tmp/rasters/europe_utm33.tif" "$f/europe_utm33.nc"
gdal_translate "${small[@]}" -of HFA "$tmp/rasters/world_geo.tif" "$f/world.img"
gdal_translate "${small[@]}" -of AAIGrid "$tmp/rasters/world_geo.tif" "$f/world.asc"
gdal_translate -q -of VRT "$tmp/rasters/world_geo.tif" "$f/world.vrt"
sed -i 's#relativeToVRT="0">[^<]*world_geo.tif#relativeToVRT="1">../rasters/world_geo.tif#' "$f/world.vrt"
# SRTM tiles are 1201 x 1201 heights over one degree, named by their corner.
gdal_translate -q -of SRTMHGT -ot Int16 -outsize 1201 1201 -projwin 7 46 8 45 \
    "$tmp/rasters/world_geo.tif" "$f/N45E007.hgt"
utm_wkt=$(mktemp)
gdalsrsinfo -o wkt1 EPSG:32633 >"$utm_wkt"
python3 "$here/make_las.py" "$f/cloud_1_2.las" --version 1.2 --epsg 32633 \
    400000 5500000 401000 5501000
python3 "$here/make_las.py" "$f/cloud_1_4.las" --version 1.4 --wkt-file "$utm_wkt" \
    600000 5300000 600500 5300500
python3 "$here/make_las.py" "$f/cloud.laz" --laz --version 1.2 --epsg 4326 7 45 7.01 45.01
rm -f "$utm_wkt"
# Photos: a drone picture over the Alps, tagged with its GPS place, and one
# without tags.
gdal_translate -q -of JPEG -outsize 64 32 "$tmp/rasters/world_geo.tif" "$f/drone_photo.jpg"
cp "$f/drone_photo.jpg" "$f/untagged_photo.jpg"
exiftool -q -overwrite_original -GPSLatitude=45.8326 -GPSLatitudeRef=N \
    -GPSLongitude=6.8652 -GPSLongitudeRef=E "$f/drone_photo.jpg"
# Files with those extensions that are no GIS files: an SQLite database of
# notes and a raw disk image.
sqlite3 "$tmp/misc/notes.sqlite" "CREATE TABLE notes (id INTEGER PRIMARY KEY, text TEXT);
    INSERT INTO notes (text) VALUES ('Nothing geographic here.');"
head -c 8192 /dev/zero | tr '\0' '\366' >"$tmp/misc/disk.img"

cat >"$tmp/README.txt" <<'EOF'
Sample data for Atlion Find, written with GDAL's tools from Natural Earth
(public domain). The list of files and what each one is: see samples.md in
the source tree, folder data/.
EOF
rm -rf "$out"
mv "$tmp" "$out"
trap - EXIT
