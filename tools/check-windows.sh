#!/usr/bin/env bash
# Proves the core and kelmora-cli on 64-bit Windows without a Windows machine: cross-builds
# them and the core tests with Debian's mingw-w64 (GoogleTest from Debian's sources in
# /usr/src/googletest), then runs under Wine the core tests and a round trip of the tool
# (a project to PRG and back) through files with non-ASCII names.
#
#   tools/check-windows.sh            installs what is missing, builds into build-windows/
#
# The editor is not built: Debian has no Qt for mingw (-DKELMORA_BUILD_UI=OFF).
# Exit status 0 when everything passed.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build_dir="$root/build-windows"
started=$SECONDS

"$root/scripts/setup.sh" --packages windows --install-only

echo "== Cross-building for x86_64-w64-mingw32"
cmake -S "$root" -B "$build_dir" -DCMAKE_TOOLCHAIN_FILE="$root/tools/mingw-w64-x86_64.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DKELMORA_WERROR=ON -DKELMORA_BUILD_UI=OFF -DKELMORA_BUILD_TESTS=ON \
  -DKELMORA_GTEST_SOURCE_DIR=/usr/src/googletest >/dev/null
cmake --build "$build_dir" -j"$(nproc 2>/dev/null || echo 2)" --target kelmora_core_tests kelmora-cli
core_tests="$build_dir/tests/kelmora_core_tests.exe"
cli="$build_dir/cli/kelmora-cli.exe"
for program in "$core_tests" "$cli"; do
  echo "$(basename "$program"): $(x86_64-w64-mingw32-objdump -f "$program" | sed -n 's/.*file format //p')"
done

# A Wine prefix of our own, kept in the build folder; no prompts for Mono or Gecko, and a
# UTF-8 locale so that Wine passes non-ASCII arguments on as they are.
export WINEPREFIX="$build_dir/wine-prefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export LC_ALL=C.UTF-8
unset DISPLAY
wine=$(command -v wine || command -v wine64)
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "== Preparing the Wine prefix"
  "$wine" wineboot --init >/dev/null 2>&1
fi
echo "== $("$wine" --version)"

echo "== Core tests under Wine"
log="$build_dir/core-tests.log"
status=0
(cd "$build_dir" && "$wine" "$core_tests") >"$log" 2>&1 || status=$?
sed -n '/^\[==========\].* ran\./,$p' "$log"
if [ "$status" -ne 0 ]; then
  echo "FAILED: the core tests under Wine (exit status $status; the whole output is in $log)"
  exit 1
fi

echo "== kelmora-cli round trip under Wine"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
name="Spriteß✓"
cp "$root/examples/bigfont.kmd" "$work/$name.kmd"
run_cli() { (cd "$work" && "$wine" "$cli" "$@"); }
fail() {
  echo "FAILED: $*"
  exit 1
}
version="$(run_cli --version | tr -d '\r')"
[ "$version" = "kelmora-cli $(sed -n 's/^project(kelmora VERSION \([0-9]*\.[0-9]*\)\..*/\1/p' "$root/CMakeLists.txt")" ] ||
  fail "--version printed '$version'"
run_cli info "$name.kmd" | tr -d '\r' | head -n 3
run_cli convert "$name.kmd" "$name.prg" --load-address 2000 || fail "convert to PRG"
run_cli convert "$name.prg" "$name 2.kmd" || fail "convert back to a project"
run_cli convert "$name.kmd" "$name.prg" 2>/dev/null && fail "an existing output was replaced without --force"
[ -f "$work/$name.prg" ] && [ -f "$work/$name 2.kmd" ] || fail "the outputs are not there under their names"
# The PRG is the load address, then the project's sprites; the project made from it has them too.
[ "$(head -c 2 "$work/$name.prg" | od -An -tx1 | tr -d ' ')" = "0020" ] || fail "the PRG's load address"
cmp <(tail -c +4 "$work/$name.kmd") <(tail -c +3 "$work/$name.prg") || fail "the PRG's sprites differ"
cmp <(tail -c +4 "$work/$name.kmd") <(tail -c +4 "$work/$name 2.kmd") || fail "the sprites came back changed"
# Raw data and its colours in NAME.inf are written as one transaction; back to a project,
# colours and sprites are the original's, byte for byte.
run_cli convert "$name.kmd" "$name.raw" || fail "convert to raw data"
run_cli convert "$name.raw" "$name 3.kmd" || fail "convert raw data back to a project"
cmp "$work/$name.kmd" "$work/$name 3.kmd" || fail "the project made from raw data and its .inf differs"
# Without Qt and giflib the picture and GIF commands refuse, saying why.
refused() {
  local expected="$1" output status=0
  shift
  output="$(run_cli "$@" 2>&1 >/dev/null | tr -d '\r')" || status=$?
  [ "$status" -eq 1 ] && [[ "$output" == *"$expected"* ]] || fail "$1 printed '$output' (exit status $status)"
}
refused "built without picture support" sheet "$name.kmd" "$name.png"
refused "built without picture support" import-image "$name.png" "$name 4.kmd"
refused "built without GIF support" gif "$name.kmd" "$name.gif"
ls "$work"
[ "$(ls -A "$work" | grep -c '^\.kelmora-')" -eq 0 ] || fail "a temporary file was left behind"
echo "Round trip: $name.kmd -> $name.prg -> $name 2.kmd, sprites identical ($(($(stat -c %s "$work/$name.prg") - 2)) bytes);"
echo "  $name.kmd -> $name.raw + .inf -> $name 3.kmd, identical; pictures and GIF refused as built without them."

echo "== Windows check passed in $((SECONDS - started)) s"
