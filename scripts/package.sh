#!/usr/bin/env bash
# Builds the Debian package atlion-find_VERSION_ARCH.deb with CPack:
#   scripts/package.sh [DIR] [cmake options...]   (default build-package/)
# DIR is a build folder of its own: the package's libraries live in a private
# folder (/usr/lib/atlion-find) and no tests are built. Compiled objects come
# from ccache when another build made them. The package lands in DIR/package/;
# install it with: sudo apt install ./DIR/package/atlion-find_*.deb
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
dir=${1:-$here/build-package}
shift || true
"$here/scripts/build.sh" "$dir" -DKAVREL_LIB_DIR=lib/atlion-find -DKAVREL_BUILD_TESTS=OFF "$@"
rm -f "$dir"/package/atlion-find_*.deb
(cd "$dir" && cpack --config CPackConfig.cmake >/dev/null)
ls "$dir"/package/atlion-find_*.deb
