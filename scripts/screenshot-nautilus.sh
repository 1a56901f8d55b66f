#!/usr/bin/env bash
# Writes docs/nautilus-properties.png: GNOME Files (Debian package nautilus)
# under Xvfb showing the Properties of a sample shapefile, its main page with
# our two sections beside the Geography and Spatial Objects pages.
#   scripts/screenshot-nautilus.sh [BUILD-DIR]
# Needs root: Nautilus reads extensions only from its own folder, so the
# module of a temporary install is linked into it for the run and the link
# removed afterwards. The module's libraries come through LD_LIBRARY_PATH,
# as the link's folder is not the install's.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$here/build}" && pwd)
command -v nautilus >/dev/null || { echo "nautilus is not installed (apt-get install nautilus)" >&2; exit 1; }
work=$(mktemp -d)
prefix=$work/prefix
extensions=$(pkg-config --variable=extensiondir libnautilus-extension-4)
link=$extensions/libvelmora-nautilus.so
cleanup() {
  [ -L "$link" ] && [ "$(readlink "$link")" = "$module" ] && rm -f "$link"
  rm -rf "$work"
}
cmake --install "$build" --prefix "$prefix" >/dev/null
module=$(find "$prefix" -name libvelmora-nautilus.so | head -1)
trap cleanup EXIT
[ -e "$link" ] && { echo "$link exists already; not replacing it" >&2; exit 1; }
ln -s "$module" "$link"

cat > "$work/session.sh" <<SESSION
#!/usr/bin/env bash
set -u
export XDG_DATA_DIRS=$prefix/share:/usr/local/share:/usr/share
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_CACHE_HOME=$work/home/.cache
export GSETTINGS_BACKEND=memory NO_AT_BRIDGE=1 GTK_A11Y=none GSK_RENDERER=cairo LD_LIBRARY_PATH=$prefix/lib
mkdir -p \$HOME
samples=$prefix/share/kavrel/samples/world
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
chmod +x "$work/session.sh"
timeout 300 xvfb-run -a -s '-screen 0 1280x900x24' dbus-run-session -- "$work/session.sh" 2>"$work/session.log" || { tail -n 20 "$work/session.log" "$work/nautilus.log" >&2; exit 1; }
montage "$work/main.png" "$work/geography.png" "$work/objects.png" -tile 3x1 -geometry +6+6 \
  -background '#c8c8c8' "$here/docs/nautilus-properties.png"
echo "written: $here/docs/nautilus-properties.png"
