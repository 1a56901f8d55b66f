#!/usr/bin/env bash
# Writes docs/catalogue.png: the finder window during a repeat search of a
# copy of the samples, its list filled from the catalogue while the status
# line says the rows are being checked, on Xvfb with a cache of its own.
#   scripts/screenshot-catalogue.sh [BUILD-DIR]
set -euo pipefail
. "$(dirname "$0")/lib/window_shot.sh"
cp -r "$build/share/kavrel/samples" "$scratch/maps"
run_shot kavrel-catalogue-shot "$scratch/maps" "*.shp" "$scratch/hold" "$here/docs/catalogue.png"
echo "written: docs/catalogue.png"
