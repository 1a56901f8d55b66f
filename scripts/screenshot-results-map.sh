#!/usr/bin/env bash
# Writes docs/results-map.png: the finder's Geographic Area page after a
# search of the samples by an area from North America to Europe, with the footprints of the
# files found, two rows selected, the share of the area covered and the gaps
# hatched, on Xvfb.
#   scripts/screenshot-results-map.sh [BUILD-DIR]
set -euo pipefail
. "$(dirname "$0")/lib/window_shot.sh"
run_shot kavrel-results-map-shot "$build/share/kavrel/samples" \
  -100 80 80 20 central_etrs89.shp new_york_stateplane.shp "$here/docs/results-map.png"
echo "written: docs/results-map.png"
