#!/usr/bin/env bash
# Installs what is missing, builds, and starts the editor.
#   ./run.sh [file]   a raw sprite file (with its optional ".inf" side file) to open
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
"$root/scripts/setup.sh" "$root/build"
# Started from the caller's folder, so a relative file name means what the user typed.
exec "$root/build/app/kelmora" "$@"
