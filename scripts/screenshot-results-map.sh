#!/usr/bin/env bash
# Writes docs/results-map.png: the finder's Geographic Area page after a
# search of the samples by an area from North America to Europe, with the footprints of the
# files found, two rows selected, the share of the area covered and the gaps
# hatched, on Xvfb.
#   scripts/screenshot-results-map.sh [BUILD-DIR]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$here/build}" && pwd)
cmake --build "$build" --target kavrel-results-map-shot >/dev/null
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
XDG_CONFIG_HOME=$scratch XDG_CACHE_HOME=$scratch KAVREL_USER_HIVE=$scratch/user.reg \
  QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1200x800x24" \
  "$build/bin/kavrel-results-map-shot" "$build/share/kavrel/samples" \
  -100 80 80 20 central_etrs89.shp new_york_stateplane.shp "$here/docs/results-map.png"
echo "written: docs/results-map.png"
