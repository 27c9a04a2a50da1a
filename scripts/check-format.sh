#!/usr/bin/env bash
# Fails when a C++ file of the project is not formatted with its .clang-format.
#   scripts/check-format.sh        check every tracked .cpp and .h file
#   scripts/check-format.sh --fix  format them in place
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"

if ! command -v clang-format >/dev/null 2>&1; then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq && $sudo apt-get install -y -qq --no-install-recommends clang-format >/dev/null
fi

mapfile -t files < <(git ls-files '*.cpp' '*.h')
if [ "${1:-}" = "--fix" ]; then
  clang-format -i "${files[@]}"
  exit 0
fi
bad=()
for f in "${files[@]}"; do
  clang-format --dry-run -Werror "$f" >/dev/null 2>&1 || bad+=("$f")
done
if [ ${#bad[@]} -gt 0 ]; then
  echo "Not formatted with .clang-format (run scripts/check-format.sh --fix):"
  printf '  %s\n' "${bad[@]}"
  exit 1
fi
echo "Formatting: ${#files[@]} files checked, all formatted."
