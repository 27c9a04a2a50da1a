#!/usr/bin/env bash
# Shared by run.sh, test.sh, bench.sh and tools/check-windows.sh: installs the Debian/Ubuntu
# packages of the chosen sets that are missing (only those), then configures the given
# build folder and builds the chosen targets.
#
#   scripts/setup.sh [--packages SETS] [--target NAME]... [--install-only] BUILD_DIR [cmake args...]
#
#   --packages SETS  comma-separated package sets (below); default: editor,tests
#   --target NAME    build only this target (repeatable); default: every target
#   --install-only   install the packages and stop (no BUILD_DIR then)
#
# KELMORA_EXTRA_PACKAGES="a b" adds required packages for one run.
#
# A required package that is missing makes the package lists update once, then it is
# installed; a failure stops the script. An optional package is tried from the lists as
# they are and never stops anything: one that this release does not have is noted in
# ~/.cache/kelmora/unavailable-packages and not tried again (delete that file to retry).
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

# ---- Package sets: one array each; add a package to the set that needs it. ----
# What the editor needs to build and run.
editor_packages=(cmake g++ make pkg-config nlohmann-json3-dev libgif-dev qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins
  libgl-dev)
editor_optional=(ccache)
# The test suites (GoogleTest, Qt Test comes with qt6-base-dev) and their helpers:
# an independent image decoder, C64 assemblers and a virtual X server.
tests_packages=(googletest libgtest-dev libgmock-dev python3)
tests_optional=(imagemagick acme 64tass cc65 xvfb)
# The benchmarks.
bench_packages=(libbenchmark-dev)
bench_optional=()
# The Windows cross-build check: compiler, GoogleTest sources (in googletest) and Wine.
windows_packages=(cmake make g++-mingw-w64-x86-64-posix googletest nlohmann-json3-dev wine wine64)
windows_optional=()
# Building and checking the Debian package (tools/check-deb.sh sets KELMORA_PACKAGING=1):
# the manual pages are made with help2man, the package is checked with lintian and
# installed into a fresh Debian made by debootstrap.
packaging_packages=(help2man lintian debootstrap)
packaging_optional=()

sets="editor,tests"
[ "${KELMORA_PACKAGING:-0}" = 1 ] && sets="$sets,packaging"
targets=()
install_only=0
while [ $# -gt 0 ]; do
  case "$1" in
    --packages) sets="$2"; shift 2 ;;
    --target) targets+=("$2"); shift 2 ;;
    --install-only) install_only=1; shift ;;
    --) shift; break ;;
    -*) echo "setup.sh: unknown option $1" >&2; exit 2 ;;
    *) break ;;
  esac
done

required=()
optional=()
IFS=',' read -r -a set_names <<<"$sets"
for set in "${set_names[@]}"; do
  case "$set" in
    editor | tests | bench | windows | packaging) ;;
    *) echo "setup.sh: unknown package set '$set' (editor, tests, bench, windows, packaging)" >&2; exit 2 ;;
  esac
  declare -n set_required="${set}_packages" set_optional="${set}_optional"
  required+=("${set_required[@]}")
  optional+=("${set_optional[@]}")
  unset -n set_required set_optional
done
if [ -n "${KELMORA_EXTRA_PACKAGES:-}" ]; then
  read -r -a extra <<<"$KELMORA_EXTRA_PACKAGES"
  required+=("${extra[@]}")
fi

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }

unavailable_list="${XDG_CACHE_HOME:-$HOME/.cache}/kelmora/unavailable-packages"
missing=()
for p in "${required[@]}"; do installed "$p" || missing+=("$p"); done
missing_optional=()
for p in "${optional[@]}"; do
  installed "$p" && continue
  grep -qx "$p" "$unavailable_list" 2>/dev/null && continue
  missing_optional+=("$p")
done

if [ ${#missing[@]} -gt 0 ] || [ ${#missing_optional[@]} -gt 0 ]; then
  sudo=""
  if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
  export DEBIAN_FRONTEND=noninteractive
  updated=0
  if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing missing packages: ${missing[*]}"
    $sudo apt-get update -qq
    updated=1
    $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
  fi
  # One by one, so that one a release lacks does not keep the others out; the lists are
  # updated at most once for them, and a failure only leaves a note.
  for p in "${missing_optional[@]}"; do
    if ! $sudo apt-get install -y -qq --no-install-recommends "$p" >/dev/null 2>&1 && [ "$updated" -eq 0 ]; then
      $sudo apt-get update -qq >/dev/null 2>&1 || true
      updated=1
      $sudo apt-get install -y -qq --no-install-recommends "$p" >/dev/null 2>&1 || true
    fi
    if installed "$p"; then
      echo "Installed optional package $p"
    else
      echo "note: optional package $p is not available; what uses it is skipped"
      { mkdir -p "$(dirname "$unavailable_list")" && echo "$p" >>"$unavailable_list"; } 2>/dev/null || true
    fi
  done
fi

[ "$install_only" -eq 1 ] && exit 0

build_dir="${1:-$root/build}"
shift || true
cmake -S "$root" -B "$build_dir" "$@" >/dev/null
build_args=()
for t in "${targets[@]}"; do build_args+=(--target "$t"); done
cmake --build "$build_dir" -j"$(nproc 2>/dev/null || echo 2)" "${build_args[@]}"
