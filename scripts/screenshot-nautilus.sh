#!/usr/bin/env bash
# Writes docs/nautilus-properties.png: GNOME Files (Debian package nautilus)
# under Xvfb showing the Properties of a sample shapefile, its main page with
# our two sections beside the Geography and Spatial Objects pages.
#   scripts/screenshot-nautilus.sh [BUILD-DIR]
# Needs root: Nautilus reads extensions only from its own folder, so the
# module of a temporary install is linked into it for the run and the link
# removed afterwards (scripts/lib/nautilus_session.sh).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$here/build}" && pwd)
. "$here/scripts/lib/nautilus_session.sh"
work=$(mktemp -d)
nautilus_install "$build" "$work"

{ nautilus_session_header "$work"; cat <<SESSION
samples=$nautilus_prefix/share/kavrel/samples/world
nautilus --new-window "\$samples" >"$work/nautilus.log" 2>&1 &
sleep 15
gdbus call --session --dest org.freedesktop.FileManager1 --object-path /org/freedesktop/FileManager1 \
  --method org.freedesktop.FileManager1.ShowItemProperties "['file://\$samples/countries.shp']" "" >/dev/null
win=
for i in \$(seq 1 150); do
  win=\$(xdotool search --name '^Properties\$' 2>/dev/null | head -1 || true)
  [ -n "\$win" ] && break
  sleep 1
done
[ -n "\$win" ] || { echo "no Properties window" >&2; exit 1; }
sleep 5
click() { xdotool mousemove --window "\$win" "\$1" "\$2"; sleep 0.3; xdotool mousedown 1; sleep 0.1; xdotool mouseup 1; sleep 2; }
import -window "\$win" "$work/main.png"
click 240 601   # Geography
import -window "\$win" "$work/geography.png"
click 30 28     # back
click 240 656   # Spatial Objects
import -window "\$win" "$work/objects.png"
SESSION
} >"$work/session.sh"
nautilus_run "$work"
montage "$work/main.png" "$work/geography.png" "$work/objects.png" -tile 3x1 -geometry +6+6 \
  -background '#c8c8c8' "$here/docs/nautilus-properties.png"
echo "written: $here/docs/nautilus-properties.png"
