#!/usr/bin/env bash
# Writes docs/open-with.png: the finder's popup on a GeoTIFF of the samples
# with its Open With submenu, on Xvfb, the applications being those the
# machine's desktop registry holds for the type.
#   scripts/screenshot-open-with.sh [BUILD-DIR]
set -euo pipefail
. "$(dirname "$0")/lib/window_shot.sh"
run_shot kavrel-open-with-shot "$build/share/kavrel/samples/rasters" "*.tif" world_geo.tif \
  "$here/docs/open-with.png"
echo "written: docs/open-with.png"
