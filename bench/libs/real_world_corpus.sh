#!/usr/bin/env bash
# Reads the real data files that Debian's packages ship (R's sf, terra,
# stars, spData and other spatial packages, geopandas, fiona, rasterio,
# cartopy, GDAL's data and more) with our tools and compares each with
# what GDAL's own tools say. The packages are unpacked, not installed, into a
# temporary folder that is removed afterwards; nothing lands in the repo.
#   bench/libs/real_world_corpus.sh [BUILD-DIR] [PACKAGE...]
# For each file of a layer type: mapora-info (extent and keys), kavrel-find's
# area search with --format json (extent and keys of the row), velmora-props
# --count (the pages) and, for ADRG images, imdlhost; each under a time
# limit. The extent is compared with ogrinfo -so -al / gdalinfo -json, the
# presence of a coordinate system likewise. Prints, per format: files,
# agree, fail (answer differs from GDAL's), crash (a signal or a sanitizer
# report), hang (time limit); then every file that did not agree, with why.
# Use a sanitizer build (scripts/build.sh build-asan -DKAVREL_SANITIZE=ON ...)
# as BUILD-DIR to look for sanitizer reports.
set -uo pipefail
here=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:-$here/build}" && pwd)
shift || true
packages=("$@")
# The GIS packages, and others whose data apt-file finds with the endings we
# read (checkit-tiff's damaged TIFFs, crack-common's word lists named .dwg,
# OpenSCAD's DXF test drawings, libpysal's and go-shp's shapefiles ...).
[ ${#packages[@]} -gt 0 ] || packages=(r-cran-sf r-cran-terra r-cran-stars r-cran-spdata
  r-cran-raster r-cran-maptools r-cran-rgdal r-cran-spdep r-cran-satellite r-cran-spatstat.data
  python3-geopandas python3-fiona python3-rasterio python3-cartopy python-cartopy-data
  python3-libpysal python3-stetl python3-mapscript mapnik-doc libmagics++-data gdal-data
  golang-github-jonas-p-go-shp-dev php-phpmyadmin-shapefile checkit-tiff openscad-testing-data
  crack-common)
limit=${KAVREL_CORPUS_LIMIT:-60}
work=$(mktemp -d)
# KAVREL_CORPUS_KEEP=1 keeps the files and the tools' answers for a look.
[ -n "${KAVREL_CORPUS_KEEP:-}" ] && echo "corpus: in $work" >&2 || trap 'rm -rf "$work"' EXIT
mkdir -p "$work/debs" "$work/files" "$work/out"

# Unpacked, one folder per package.
(cd "$work/debs" && apt-get download "${packages[@]}" >/dev/null 2>&1) ||
  echo "corpus: some packages could not be downloaded (apt-get update?)" >&2
for deb in "$work"/debs/*.deb; do
  [ -e "$deb" ] || continue
  name=$(basename "$deb" | cut -d_ -f1)
  dpkg-deb -x "$deb" "$work/files/$name"
done

export KAVREL_SYSTEM_HIVE=$work/system.reg KAVREL_USER_HIVE=$work/user.reg
export XDG_CACHE_HOME=$work/cache XDG_CONFIG_HOME=$work/config
printf 'REGEDIT4\n\n[Software\\Quorvane Geo]\n"DataBasePath"="%s"\n' "$build/share/kavrel" >"$KAVREL_SYSTEM_HIVE"
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=0} UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1}

# One tool under the time limit: its output in $2, status in the result.
run() { # out-file command...
  local out=$1
  shift
  timeout -s KILL "$limit" "$@" >"$out" 2>"$out.err"
}

find "$work/files" -type f \( -iname '*.shp' -o -iname '*.tif' -o -iname '*.mif' -o -iname '*.tab' \
  -o -iname '*.dxf' -o -iname '*.dwg' -o -iname '*.dgn' -o -iname '*.kap' -o -iname '*.bmp' \
  -o -iname '*.jpg' -o -iname '*.gen' \) -print0 | sort -z >"$work/list"

i=0
while IFS= read -r -d '' file; do
  i=$((i + 1))
  o=$work/out/$i
  mkdir -p "$o"
  printf '%s' "$file" >"$o/file"
  folder=$(dirname "$file")
  base=$(basename "$file")
  run "$o/mapora" "$build/bin/mapora-info" "$file"; echo $? >"$o/mapora.rc"
  run "$o/find" "$build/bin/kavrel-find" --look-in "$folder" --named "$base" --no-subfolders \
    --no-cache --area -180 90 180 -90 --lat-lon --inclusive --format json; echo $? >"$o/find.rc"
  run "$o/props" "$build/bin/velmora-props" --count "$file"; echo $? >"$o/props.rc"
  case "${base,,}" in
    *.gen) run "$o/imdl" "$build/bin/imdlhost" "$file" --info --indices "$o/image.raw"; echo $? >"$o/imdl.rc" ;;
  esac
  case "${base,,}" in
    *.tif | *.kap | *.bmp | *.jpg | *.gen) gdalinfo -json "$file" >"$o/gdal" 2>/dev/null; echo $? >"$o/gdal.rc" ;;
    *.tab) gdalinfo -json "$file" >"$o/gdal" 2>/dev/null || ogrinfo -so -al "$file" >"$o/ogr" 2>/dev/null ;;
    *) ogrinfo -ro -so -al "$file" >"$o/ogr" 2>/dev/null; echo $? >"$o/ogr.rc" ;;
  esac
done <"$work/list"

python3 - "$work/out" <<'PYTHON'
import json, os, re, sys, collections

out = sys.argv[1]
def read(path, default=""):
    try:
        with open(path, errors="replace") as f:
            return f.read()
    except OSError:
        return default

def close(a, b):
    return all(abs(x - y) <= 1e-6 * max(1.0, abs(x), abs(y)) for x, y in zip(a, b))

def earthly(wkt):
    """A system on the Earth: not none, not a local or engineering one (which
    name no place and have no keys)."""
    wkt = (wkt or "").strip()
    return bool(wkt) and wkt != "(unknown)" and not wkt.startswith(("LOCAL_CS", "ENGCRS", "ENGINEERINGCRS"))

def gdal_answer(d):
    """(extent or None, has system) as GDAL's tools give them; None when GDAL cannot read it."""
    g = read(os.path.join(d, "gdal"))
    if g.strip():
        try:
            info = json.loads(g)
        except ValueError:
            return None
        corners = info.get("cornerCoordinates")
        gt = info.get("geoTransform")
        extent = None
        if corners and gt and gt != [0, 1, 0, 0, 0, 1]:
            xs = [corners[k][0] for k in ("upperLeft", "lowerLeft", "upperRight", "lowerRight")]
            ys = [corners[k][1] for k in ("upperLeft", "lowerLeft", "upperRight", "lowerRight")]
            extent = (min(xs), max(ys), max(xs), min(ys))
        gcps = info.get("gcps", {})
        wkt = info.get("coordinateSystem", {}).get("wkt") or (
            gcps.get("coordinateSystem", {}).get("wkt") if gcps.get("gcpList") else "")
        return extent, earthly(wkt)
    o = read(os.path.join(d, "ogr"))
    if not o.strip():
        return None
    extent = None
    for m in re.finditer(r"^Extent: \(([-\d.e+]+), ([-\d.e+]+)\) - \(([-\d.e+]+), ([-\d.e+]+)\)", o, re.M):
        x0, y0, x1, y1 = map(float, m.groups())
        if x0 > x1 or y0 > y1:
            continue  # an empty layer's inverted box
        e = (x0, y1, x1, y0)
        extent = e if extent is None else (min(extent[0], e[0]), max(extent[1], e[1]),
                                           max(extent[2], e[2]), min(extent[3], e[3]))
    m = re.search(r"^Layer SRS WKT:\n(.*)$", o, re.M)
    return extent, earthly(m.group(1) if m else "")

def crashed(d, tool):
    rc = read(os.path.join(d, tool + ".rc"), "0").strip()
    err = read(os.path.join(d, tool + ".err"))
    sanitizer = "AddressSanitizer" in err or "runtime error:" in err or "LeakSanitizer" in err
    return rc in ("137",), (rc.isdigit() and int(rc) > 128 and rc != "137") or sanitizer

table = collections.OrderedDict()
notes = []
for entry in sorted(os.listdir(out), key=int):
    d = os.path.join(out, entry)
    path = read(os.path.join(d, "file"))
    fmt = os.path.splitext(path)[1].lower()
    row = table.setdefault(fmt, collections.Counter())
    row["files"] += 1
    why = []
    hang = crash = False
    for tool in ("mapora", "find", "props", "imdl"):
        if not os.path.exists(os.path.join(d, tool + ".rc")):
            continue
        h, c = crashed(d, tool)
        if h: why.append(tool + " hung")
        if c: why.append(tool + " crashed or reported by a sanitizer")
        hang, crash = hang or h, crash or c
    if hang: row["hang"] += 1
    if crash: row["crash"] += 1
    gdal = gdal_answer(d)
    m = read(os.path.join(d, "mapora"))
    em = re.search(r"^extent: (.*)$", m, re.M)
    sm = re.search(r"^system: (.*)$", m, re.M)
    our_system = bool(sm and sm.group(1) != "Unknown")
    ours = None
    if em and em.group(1) != "Unknown":
        ours = tuple(float(v) for v in em.group(1).split())
    # The world area search finds the file when its extent is known and can
    # be put in degrees; its JSON row holds the extent mapora-info gives.
    rows = [json.loads(l) for l in read(os.path.join(d, "find")).splitlines() if l.startswith("{")]
    degrees = ours is not None and -180 <= ours[0] <= ours[2] <= 180 and -90 <= ours[3] <= ours[1] <= 90
    if bool(rows) != (ours is not None and (our_system or degrees)):
        why.append("area search found %d rows, extent %s, system %s" % (len(rows), ours, our_system))
    row_extent = rows[0].get("extent") if rows else None
    if row_extent and ours and not close(
            ours, (row_extent["west"], row_extent["north"], row_extent["east"], row_extent["south"])):
        why.append("area search row %s, mapora-info %s" % (row_extent, ours))
    if gdal is None:
        if ours is not None:
            why.append("GDAL cannot read it, we give %s" % (ours,))
    else:
        extent, system = gdal
        if (extent is None) != (ours is None) or (extent and ours and not close(extent, ours)):
            why.append("extent %s, GDAL %s" % (ours, extent))
        if system != our_system:
            why.append("system %s, GDAL %s" % (sm.group(1) if sm else None, "one" if system else "none"))
    if hang or crash:
        pass
    elif why:
        row["fail"] += 1
    else:
        row["agree"] += 1
    if why:
        notes.append("%s: %s" % (path.split("/files/", 1)[-1], "; ".join(why)))

print("%-8s %6s %6s %6s %6s %6s" % ("format", "files", "agree", "fail", "crash", "hang"))
total = collections.Counter()
for fmt, row in table.items():
    total.update(row)
    print("%-8s %6d %6d %6d %6d %6d" % (fmt, row["files"], row["agree"], row["fail"], row["crash"], row["hang"]))
print("%-8s %6d %6d %6d %6d %6d" % ("all", total["files"], total["agree"], total["fail"], total["crash"], total["hang"]))
for n in notes:
    print("  " + n)
PYTHON
