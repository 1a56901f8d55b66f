#!/usr/bin/env bash
# Checks what the desktop reads of a build folder (default build/): the
# AppStream data with appstreamcli (no network) and every desktop entry of
# the freedesktop kinds with desktop-file-validate.
#   scripts/check-desktop-data.sh [BUILD-DIR]
# The Dolphin service menu is a KDE service (Type=Service), whose keys the
# freedesktop validator rejects by design: it is checked by the velmora-props
# tests instead.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build}
appstreamcli validate --no-net "$build"/share/metainfo/*.metainfo.xml
desktop-file-validate "$build"/share/applications/*.desktop
echo "check-desktop-data: AppStream data and desktop entries valid"
