#!/usr/bin/env bash
# Builds the Debian package atlion-find_VERSION_ARCH.deb with CPack from a
# build folder: scripts/package.sh [DIR] [cmake options...] (default build/).
# The folder is brought up to date first; the package lands in DIR/package/.
# Install it with: sudo apt install ./DIR/package/atlion-find_*.deb
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
dir=${1:-$here/build}
shift || true
"$here/scripts/build.sh" "$dir" "$@"
rm -f "$dir"/package/atlion-find_*.deb
(cd "$dir" && cpack --config CPackConfig.cmake >/dev/null)
ls "$dir"/package/atlion-find_*.deb
