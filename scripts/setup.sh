#!/usr/bin/env bash
# Shared by run.sh, test.sh and bench.sh: installs the Debian/Ubuntu packages that
# are missing (only those), then configures and builds into the given folder.
#   scripts/setup.sh BUILD_DIR [extra cmake arguments...]
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build_dir="${1:-$root/build}"
shift || true

packages=(
  cmake g++ make pkg-config
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins libgl-dev
  python3
)
# Optional helpers for the tests: an independent image decoder and C64 assemblers.
optional=(imagemagick acme 64tass cc65 xvfb)
[ -n "${KELMORA_EXTRA_PACKAGES:-}" ] && read -r -a extra <<<"$KELMORA_EXTRA_PACKAGES" && packages+=("${extra[@]}")

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
missing_optional=()
for p in "${optional[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing_optional+=("$p")
done

if [ ${#missing[@]} -gt 0 ] || [ ${#missing_optional[@]} -gt 0 ]; then
  sudo=""
  if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
  export DEBIAN_FRONTEND=noninteractive
  echo "Installing missing packages: ${missing[*]} ${missing_optional[*]}"
  $sudo apt-get update -qq
  if [ ${#missing[@]} -gt 0 ]; then
    $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
  fi
  # Optional packages are installed one by one; one that a release lacks is skipped.
  for p in "${missing_optional[@]}"; do
    $sudo apt-get install -y -qq --no-install-recommends "$p" >/dev/null 2>&1 \
      || echo "note: optional package $p is not available; the tests that use it are skipped"
  done
fi

cmake -S "$root" -B "$build_dir" "$@" >/dev/null
cmake --build "$build_dir" -j"$(nproc 2>/dev/null || echo 2)"
