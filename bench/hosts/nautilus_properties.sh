#!/usr/bin/env bash
# How soon GNOME Files (Debian package nautilus) shows the Properties of a
# large text data file with our module, and how long its values take to fill:
# a 90 MB MapInfo .mif of 2,000,000 points written by ogr2ogr into a
# temporary folder, the file manager under Xvfb driven as
# scripts/screenshot-nautilus.sh drives it.
#   bench/hosts/nautilus_properties.sh [BUILD-DIR] [FILE]
# Prints the seconds from the request to the Properties window, and to the
# end of the reader process; screenshots of both moments go to the folder
# $KAVREL_BENCH_SHOTS when set. Needs root (scripts/lib/nautilus_session.sh),
# xdotool and imagemagick.
set -euo pipefail
here=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:-$here/build}" && pwd)
shots=${KAVREL_BENCH_SHOTS:-}
. "$here/scripts/lib/nautilus_session.sh"
work=$(mktemp -d)
file=${2:-}
if [ -z "$file" ]; then
  file=$work/data/big.mif
  mkdir -p "$work/data"
  python3 -c "
import random
random.seed(1)
print('id,name,x,y')
for i in range(2000000):
    print('%d,place %d,%.6f,%.6f' % (i, i, random.uniform(-180, 180), random.uniform(-90, 90)))
" >"$work/data/points.csv"
  ogr2ogr -f "MapInfo File" -dsco FORMAT=MIF -a_srs EPSG:4326 -oo X_POSSIBLE_NAMES=x \
    -oo Y_POSSIBLE_NAMES=y "$file" "$work/data/points.csv"
  rm "$work/data/points.csv"
fi
echo "file: $file ($(du -m "$file" | cut -f1) MB .mif, $(du -m "${file%.*}.mid" | cut -f1) MB .mid)"
nautilus_install "$build" "$work"

{ nautilus_session_header "$work"; cat <<SESSION
nautilus --new-window "$(dirname "$file")" >"$work/nautilus.log" 2>&1 &
sleep 15
start=\$(date +%s.%N)
gdbus call --session --dest org.freedesktop.FileManager1 --object-path /org/freedesktop/FileManager1 \
  --method org.freedesktop.FileManager1.ShowItemProperties "['file://$file']" "" >/dev/null
win=
for i in \$(seq 1 600); do
  win=\$(xdotool search --name '^Properties\$' 2>/dev/null | head -1 || true)
  [ -n "\$win" ] && break
  sleep 0.05
done
[ -n "\$win" ] || { echo "no Properties window" >&2; exit 1; }
shown=\$(date +%s.%N)
[ -n "$shots" ] && import -window "\$win" "$shots/shown.png"
# The reader runs until both answers are in, or its limit passes.
sleep 0.5
while pgrep -f "velmora-reader $file" >/dev/null; do sleep 0.05; done
filled=\$(date +%s.%N)
xdotool search --name '^Properties\$' >/dev/null || { echo "Properties window gone" >&2; exit 1; }
echo "window after \$(echo "\$shown - \$start" | bc) s; reader done after \$(echo "\$filled - \$start" | bc) s"
if [ -n "$shots" ]; then
  xdotool mousemove --window "\$win" 240 655 click 1; sleep 2   # Geography
  import -window "\$win" "$shots/filled.png"
fi
SESSION
} >"$work/session.sh"
nautilus_run "$work"
