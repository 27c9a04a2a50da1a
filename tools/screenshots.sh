#!/usr/bin/env bash
# Makes the pictures of every window in docs/screens/: at an 11-point font, in a dark
# theme (also at 11 points) and at twice the scale. Look at each before committing it.
#   tools/screenshots.sh
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$root/scripts/setup.sh" "$root/build-shots" -DKELMORA_BUILD_TESTS=OFF -DKELMORA_BUILD_SCREENSHOTS=ON
shots="$root/build-shots/tools/screenshots/kelmora_screenshots"
export QT_QPA_PLATFORM=offscreen
"$shots" "$root/docs/screens/11pt" --points 11
"$shots" "$root/docs/screens/dark" --points 11 --dark
QT_SCALE_FACTOR=2 "$shots" "$root/docs/screens/2x"
