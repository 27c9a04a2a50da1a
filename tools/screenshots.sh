#!/usr/bin/env bash
# Makes the pictures of every window in docs/screens/: at an 11-point font, in a dark
# theme (also at 11 points) and at twice the scale. Look at each before committing it.
#   tools/screenshots.sh
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$root/scripts/setup.sh" "$root/build-shots" -DKELMORA_BUILD_TESTS=OFF -DKELMORA_BUILD_SCREENSHOTS=ON
shots="$root/build-shots/tools/screenshots/kelmora_screenshots"
# A 3840 x 2160 screen (the offscreen one is 800 x 600): windows that size themselves to
# the screen, such as Import Image, open as they would on a desktop, at twice the scale too.
screen="$(mktemp --suffix=.json)"
trap 'rm -f "$screen"' EXIT
printf '{"screens": [{"name": "Screen", "x": 0, "y": 0, "width": 3840, "height": 2160, "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]}\n' >"$screen"
export QT_QPA_PLATFORM="offscreen:configfile=$screen"
"$shots" "$root/docs/screens/11pt" --points 11
"$shots" "$root/docs/screens/dark" --points 11 --dark
QT_SCALE_FACTOR=2 "$shots" "$root/docs/screens/2x"
