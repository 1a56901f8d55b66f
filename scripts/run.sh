#!/usr/bin/env bash
# Sets everything up, builds, installs into ./install and starts the finder
# on the bundled sample data.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/scripts/setup.sh"
"$here/scripts/build.sh" "$here/build" -DCMAKE_INSTALL_PREFIX="$here/install"
cmake --install "$here/build" >/dev/null
prefix=$here/install
samples=$prefix/share/kavrel/samples
export KAVREL_SYSTEM_HIVE=${KAVREL_SYSTEM_HIVE:-$prefix/etc/kavrel/system.reg}
if [ -x "$prefix/bin/kavrel" ] && { [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; }; then
  KAVREL_LOOK_IN="$samples" exec "$prefix/bin/kavrel" "$@"
elif [ -x "$prefix/bin/kavrel-find" ]; then
  exec "$prefix/bin/kavrel-find" --look-in "$samples" "$@"
elif [ -x "$prefix/bin/mapora-info" ]; then
  find "$samples" -type f -print0 | sort -z | xargs -0 "$prefix/bin/mapora-info"
else
  find "$samples" -type f | sort
fi
