#!/usr/bin/env bash
# Installs what the editor needs (only what is missing), builds the editor alone, starts it.
#   ./run.sh [file]   a raw sprite file (with its optional ".inf" side file) to open
# The test suites and their tools come with ./test.sh.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
"$root/scripts/setup.sh" --packages editor --target kelmora "$root/build" -DKELMORA_BUILD_TESTS=OFF
# Started from the caller's folder, so a relative file name means what the user typed.
exec "$root/build/app/kelmora" "$@"
