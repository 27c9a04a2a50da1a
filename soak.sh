#!/usr/bin/env bash
# The soak test (not part of ./test.sh): installs what is missing, builds the editor
# with the soak program into build-soak/, then drives a real main window under the
# offscreen platform with random but reproducible actions for the given time.
#   ./soak.sh [minutes] [seed]     default: 10 minutes, the program's fixed seed
# Every minute the bank is saved, read back and compared; at the end the memory must
# be within 5 MB of the figure after the first minute. Exit status: 0 passed, 1 a
# check failed, 3 an action hung, above 128 the program crashed (128 + signal).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
build_dir="$root/build-soak"

"$root/scripts/setup.sh" "$build_dir" -DKELMORA_BUILD_SOAK=ON

export QT_QPA_PLATFORM=offscreen
set +e
"$build_dir/tests/soak/kelmora_soak" "$@"
status=$?
set -e
if [ "$status" -gt 128 ]; then
  echo "soak: FAILED: the editor crashed (signal $((status - 128)))" >&2
fi
exit "$status"
