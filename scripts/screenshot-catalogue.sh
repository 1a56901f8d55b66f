#!/usr/bin/env bash
# Writes docs/catalogue.png: the finder window during a repeat search of a
# copy of the samples, its list filled from the catalogue while the status
# line says the rows are being checked, on Xvfb with a cache of its own.
#   scripts/screenshot-catalogue.sh [BUILD-DIR]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$here/build}" && pwd)
cmake --build "$build" --target kavrel-catalogue-shot >/dev/null
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cp -r "$build/share/kavrel/samples" "$scratch/maps"
XDG_CONFIG_HOME=$scratch XDG_CACHE_HOME=$scratch KAVREL_USER_HIVE=$scratch/user.reg \
  QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1200x800x24" \
  "$build/bin/kavrel-catalogue-shot" "$scratch/maps" "*.shp" "$scratch/hold" \
  "$here/docs/catalogue.png"
echo "written: docs/catalogue.png"
