# Writes the files the layer benchmarks read, into folder $1:
#   $1/shp/f0000.shp ... f1999.shp  2,000 shapefiles of 50 polygons each
#   $1/tif/g000.tif ... g199.tif    200 GeoTIFFs of 256 x 256 pixels
# Half of each are in longitude/latitude (EPSG:4326), half in UTM 33N
# (EPSG:32633); ten different files of each kind are copied to the names.
# Source it, then call make_gis_files FOLDER.
make_gis_files() {
    local work=$1 i j x y srs
    mkdir -p "$work/shp" "$work/tif"
    # Ten base shapefiles of 50 polygons each: five in degrees scattered over
    # Europe and beyond, five in UTM 33N metres; copied to 2,000 names.
    for i in $(seq 0 9); do
        {
            echo "id,WKT"
            for j in $(seq 0 49); do
                if [ "$i" -lt 5 ]; then
                    x=$((i * 20 - 40 + j % 10)); y=$((30 + j / 2))
                    echo "$j,\"POLYGON (($x $y,$((x + 1)) $y,$((x + 1)) $((y + 1)),$x $((y + 1)),$x $y))\""
                else
                    x=$((200000 + i * 50000 + j * 1000)); y=$((5000000 + j * 5000))
                    echo "$j,\"POLYGON (($x $y,$((x + 900)) $y,$((x + 900)) $((y + 900)),$x $((y + 900)),$x $y))\""
                fi
            done
        } >"$work/base$i.csv"
        srs=EPSG:4326
        [ "$i" -ge 5 ] && srs=EPSG:32633
        ogr2ogr -q -f "ESRI Shapefile" -a_srs "$srs" "$work/base$i.shp" "$work/base$i.csv"
    done
    # Ten GeoTIFFs (256 x 256), five in degrees and five in UTM 33N; 200 names.
    for i in $(seq 0 9); do
        if [ "$i" -lt 5 ]; then
            gdal_create -q -of GTiff -outsize 256 256 -bands 1 -burn $((i * 20)) -a_srs EPSG:4326 \
                -a_ullr $((i * 25 - 50)) 60 $((i * 25 - 45)) 55 "$work/base$i.tif"
        else
            gdal_create -q -of GTiff -outsize 256 256 -bands 1 -burn $((i * 20)) -a_srs EPSG:32633 \
                -a_ullr $((300000 + i * 20000)) 5600000 $((310000 + i * 20000)) 5590000 "$work/base$i.tif"
        fi
    done
    copy_gis_files "$work" "$work/shp" 2000 f%04d "$work/tif" 200 g%03d
}

# Copies the ten base files of each kind made above to numbered names:
# copy_gis_files FOLDER SHP_FOLDER SHP_COUNT SHP_NAME TIF_FOLDER TIF_COUNT TIF_NAME
# (names are printf formats of the number, without the extension).
copy_gis_files() {
    python3 - "$@" <<'PY'
import shutil, sys
w, shp_dir, shp_count, shp_name, tif_dir, tif_count, tif_name = sys.argv[1:]
for n in range(int(shp_count)):
    for ext in ("shp", "shx", "dbf", "prj"):
        shutil.copyfile(f"{w}/base{n % 10}.{ext}", f"{shp_dir}/{shp_name % n}.{ext}")
for n in range(int(tif_count)):
    shutil.copyfile(f"{w}/base{n % 10}.tif", f"{tif_dir}/{tif_name % n}.tif")
PY
}

# Writes the files of today's formats into folder $1 (after make_gis_files):
#   $1/gpkg/p0000.gpkg ... p0999.gpkg  1,000 GeoPackages
#   $1/fgb/b0000.fgb ... b0999.fgb     1,000 FlatGeobuf files
#   $1/geojson/j000.geojson ... j499   500 GeoJSON files
#   $1/las/c000.las ... c199.las       200 LAS files (make_las.py)
# Each copied from ten base files made from the base shapefiles (five in
# degrees, five in UTM 33N); the LAS files alternate between 1.2 with
# GeoTIFF keys and 1.4 with WKT, in UTM 33N.
make_today_files() {
    local work=$1 here i srs
    here=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
    mkdir -p "$work/gpkg" "$work/fgb" "$work/geojson" "$work/las"
    gdalsrsinfo -o wkt1 EPSG:32633 >"$work/utm.wkt"
    for i in $(seq 0 9); do
        ogr2ogr -q -f GPKG "$work/base$i.gpkg" "$work/base$i.shp"
        ogr2ogr -q -f FlatGeobuf "$work/base$i.fgb" "$work/base$i.shp"
        ogr2ogr -q -f GeoJSON "$work/base$i.geojson" "$work/base$i.shp"
        if [ $((i % 2)) -eq 0 ]; then
            python3 "$here/data/make_las.py" "$work/base$i.las" --version 1.2 --epsg 32633 \
                $((300000 + i * 20000)) 5590000 $((310000 + i * 20000)) 5600000
        else
            python3 "$here/data/make_las.py" "$work/base$i.las" --version 1.4 \
                --wkt-file "$work/utm.wkt" $((300000 + i * 20000)) 5590000 $((310000 + i * 20000)) 5600000
        fi
    done
    python3 - "$work" <<'PY'
import shutil, sys
w = sys.argv[1]
for ext, folder, count, name in (("gpkg", "gpkg", 1000, "p%04d"), ("fgb", "fgb", 1000, "b%04d"),
                                 ("geojson", "geojson", 500, "j%03d"), ("las", "las", 200, "c%03d")):
    for n in range(count):
        shutil.copyfile(f"{w}/base{n % 10}.{ext}", f"{w}/{folder}/{name % n}.{ext}")
PY
}
