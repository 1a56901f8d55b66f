#!/usr/bin/env bash
# Writes docs/open-with.png: the finder's popup on a GeoTIFF of the samples
# with its Open With submenu, on Xvfb, the applications being those the
# machine's desktop registry holds for the type.
#   scripts/screenshot-open-with.sh [BUILD-DIR]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$here/build}" && pwd)
cmake --build "$build" --target kavrel-open-with-shot >/dev/null
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
XDG_CONFIG_HOME=$scratch XDG_CACHE_HOME=$scratch KAVREL_USER_HIVE=$scratch/user.reg \
  QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1200x800x24" \
  "$build/bin/kavrel-open-with-shot" "$build/share/kavrel/samples/rasters" "*.tif" \
  world_geo.tif "$here/docs/open-with.png"
echo "written: docs/open-with.png"
