#!/usr/bin/env bash
# Writes docs/formats.png: the finder window (build/bin/kavrel) on Xvfb
# after a search of the samples' formats folder with "( All types )", the
# list sorted by Type: one row for every kind beyond the layer table.
#   scripts/screenshot-formats.sh [BUILD-DIR]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$here/build}" && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cat >"$scratch/session.sh" <<SESSION
#!/usr/bin/env bash
set -eu
export XDG_CONFIG_HOME=$scratch XDG_CACHE_HOME=$scratch KAVREL_USER_HIVE=$scratch/user.reg
export KAVREL_LOOK_IN=$build/share/kavrel/samples/formats QT_QPA_PLATFORM=xcb
"$build/bin/kavrel" >"$scratch/kavrel.log" 2>&1 &
pid=\$!
win=\$(xdotool search --sync --name '^Atlion Find\$' | head -1)
sleep 2
xdotool key --window "\$win" Return      # Find Now, the default button
sleep 4
xdotool windowsize "\$win" 900 720
sleep 2
# A click on the Type header sorts by that column; a double click on the
# edges of Type and Name fits them to their texts (right one first).
xdotool mousemove --window "\$win" 350 252 click 1
sleep 1
xdotool mousemove --window "\$win" 412 252 click --repeat 2 1
sleep 1
xdotool mousemove --window "\$win" 121 252 click --repeat 2 1
sleep 2
import -window "\$win" "$scratch/formats.png"
kill \$pid
SESSION
chmod +x "$scratch/session.sh"
xvfb-run -a -s "-screen 0 1100x900x24" "$scratch/session.sh"
cp "$scratch/formats.png" "$here/docs/formats.png"
echo "written: docs/formats.png"
