#!/usr/bin/env bash
# Installs what is missing (the editor's packages, the test frameworks and the tools the
# tests use), builds everything, and runs every test suite under CTest.
#   ./test.sh             the ordinary build in build/
#   ./test.sh --sanitize  the same suites built with ASan/UBSan in build-sanitize/
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"

build_dir="$root/build"
cmake_args=(-DKELMORA_WERROR=ON -DKELMORA_BUILD_TESTS=ON)
if [ "${1:-}" = "--sanitize" ]; then
  build_dir="$root/build-sanitize"
  cmake_args+=(-DKELMORA_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug)
  export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
  export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
  # Leaks inside the host's font and graphics libraries only; never our own code.
  export LSAN_OPTIONS="suppressions=$root/tests/lsan.supp:print_suppressions=0"
fi

"$root/scripts/setup.sh" --packages editor,tests "$build_dir" "${cmake_args[@]}"
cd "$build_dir"
export QT_QPA_PLATFORM=offscreen
ctest --output-on-failure -j2 --timeout 600
