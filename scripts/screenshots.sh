#!/bin/sh
# Pictures of the main window, the viewer and the windows opened from them, for looking at
# the layout:  scripts/screenshots.sh [FOLDER] [BUILD-DIR]   (defaults: shots, build)
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-shots}
build=${2:-$here/build}
cmake --build "$build" --target reelvane_screenshots
QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} "$build/tools/reelvane_screenshots" "$out"
