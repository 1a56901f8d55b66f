#!/usr/bin/env bash
# How soon GNOME Files (Debian package nautilus) shows the Properties of a
# large text data file with our module, and how long its values take to fill:
# a 90 MB MapInfo .mif of 2,000,000 points written by ogr2ogr into a
# temporary folder, the file manager under Xvfb driven as
# scripts/screenshot-nautilus.sh drives it.
#   bench/hosts/nautilus_properties.sh [BUILD-DIR] [FILE]
# Prints the seconds from the request to the Properties window, and to the
# end of the reader process; a screenshot of each moment in $KAVREL_BENCH_SHOTS
# when set. Needs root (the module is linked into Nautilus's folder for the
# run), xdotool and imagemagick.
set -euo pipefail
here=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:-$here/build}" && pwd)
for tool in nautilus xdotool import; do
  command -v $tool >/dev/null || { echo "$tool is not installed" >&2; exit 1; }
done
work=$(mktemp -d)
prefix=$work/prefix
extensions=$(pkg-config --variable=extensiondir libnautilus-extension-4)
link=$extensions/libvelmora-nautilus.so
module=
cleanup() {
  [ -n "$module" ] && [ -L "$link" ] && [ "$(readlink "$link")" = "$module" ] && rm -f "$link"
  rm -rf "$work"
}
trap cleanup EXIT
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
cmake --install "$build" --prefix "$prefix" >/dev/null
module=$(find "$prefix" -name libvelmora-nautilus.so | head -1)
[ -e "$link" ] && { echo "$link exists already; not replacing it" >&2; module=; exit 1; }
ln -s "$module" "$link"

cat >"$work/session.sh" <<SESSION
#!/usr/bin/env bash
set -u
export XDG_DATA_DIRS=$prefix/share:/usr/local/share:/usr/share
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_CACHE_HOME=$work/home/.cache
export GSETTINGS_BACKEND=memory NO_AT_BRIDGE=1 GTK_A11Y=none GSK_RENDERER=cairo LD_LIBRARY_PATH=$prefix/lib
mkdir -p \$HOME
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
[ -n "${KAVREL_BENCH_SHOTS:-}" ] && import -window "\$win" "${KAVREL_BENCH_SHOTS:-}/shown.png"
# The reader runs until both answers are in (or its limit passes).
sleep 0.5
while pgrep -f "velmora-reader $file" >/dev/null; do sleep 0.05; done
filled=\$(date +%s.%N)
# Nautilus must still answer: open and close its main window's menu.
xdotool search --name '^Properties\$' >/dev/null || { echo "Properties window gone" >&2; exit 1; }
echo "window after \$(echo "\$shown - \$start" | bc) s; reader done after \$(echo "\$filled - \$start" | bc) s"
if [ -n "${KAVREL_BENCH_SHOTS:-}" ]; then
  xdotool mousemove --window "\$win" 240 601 click 1; sleep 2
  import -window "\$win" "${KAVREL_BENCH_SHOTS:-}/filled.png"
fi
SESSION
chmod +x "$work/session.sh"
timeout 600 xvfb-run -a -s '-screen 0 1280x900x24' dbus-run-session -- "$work/session.sh" \
  2>"$work/session.log" || { tail -n 20 "$work/session.log" "$work/nautilus.log" >&2; exit 1; }
