#!/usr/bin/env bash
# Sets everything up, builds with warnings as errors, runs every test, makes
# and checks the Debian package, then runs the non-window tests again under
# the address and undefined sanitizers, and runs the fuzz harnesses briefly.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/scripts/setup.sh"
export QT_QPA_PLATFORM=offscreen

"$here/scripts/build.sh" "$here/build" -DKAVREL_WERROR=ON
(cd "$here/build" && ctest -j2 --output-on-failure --timeout 600 -LE package)
"$here/scripts/check-desktop-data.sh" "$here/build"

# The Debian package, built in its own folder from the objects above (ccache):
# checked by lintian (an error fails; warnings are shown) and its programs run
# from it unpacked against those of the build above.
"$here/scripts/package.sh" "$here/build-package" -DKAVREL_WERROR=ON
# Warnings fail too, but those overridden with a reason (cmake/debian/lintian-overrides).
lintian --fail-on error,warning "$here"/build-package/package/atlion-find_*.deb
(cd "$here/build" && ctest --output-on-failure --timeout 600 -L package)

"$here/scripts/build.sh" "$here/build-asan" -DKAVREL_WERROR=ON -DKAVREL_SANITIZE=ON \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKAVREL_BUILD_GUI=OFF
(cd "$here/build-asan" && ASAN_OPTIONS=detect_leaks=1 ctest -j2 --output-on-failure --timeout 900 -LE package)

# The parsers of outside bytes under libFuzzer (clang): seeds plus a fixed number of runs.
"$here/scripts/fuzz-smoke.sh" "$here/build-fuzz"
