#!/usr/bin/env bash
# Installs every Debian package the project needs and fetches the public
# sample-data sources. Idempotent: a second run only checks.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)

packages=(
  build-essential cmake ninja-build pkg-config clang-format ccache
  qt6-base-dev qt6-base-dev-tools libgl-dev
  libgdal-dev gdal-bin libproj-dev proj-bin proj-data sqlite3 libsqlite3-dev
  libgtest-dev libgmock-dev
  clang-14 libclang-rt-14-dev
  libnautilus-extension-dev
  xvfb xauth imagemagick shared-mime-info fonts-dejavu-core
  python3 libimage-exiftool-perl
  dpkg-dev lintian bubblewrap
  libglib2.0-dev scdoc man-db bash-completion appstream desktop-file-utils
  plocate fd-find # beside the catalogue in bench/finder/catalogue_bench.sh
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# Sample-data sources: Natural Earth countries (public domain) and the
# real-world files of rgdal, unpacked from their Debian packages without
# installing them.
deps="$here/.deps"
mkdir -p "$deps"
fetch_deb() { # package, folder to check
  local pkg=$1 check=$2
  [ -e "$deps/$check" ] && return 0
  local tmp
  tmp=$(mktemp -d)
  (cd "$tmp" && apt-get download "$pkg" >/dev/null 2>&1 || { apt-get update -qq && apt-get download "$pkg"; })
  dpkg-deb -x "$tmp"/"$pkg"_*.deb "$deps/$pkg"
  rm -rf "$tmp"
}
fetch_deb python3-geopandas python3-geopandas
fetch_deb r-cran-rgdal r-cran-rgdal
echo "setup: ready"
