#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in build-fuzz/ and runs each one for the
# given number of seconds (default 30) over a working copy of its seed corpus.
#   fuzz/run.sh [seconds] [target...]
# The seeds in fuzz/corpus/ are only read; what a run finds stays in
# build-fuzz/corpus/, and crashing inputs land in build-fuzz/artifacts/.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
seconds="${1:-30}"
shift || true
build_dir="$root/build-fuzz"

# clang with its runtime libraries (libFuzzer and the sanitizers), plus the build tools.
clang_major=""
if command -v clang++ >/dev/null 2>&1; then
  clang_major="$(clang++ --version | sed -n 's/.*clang version \([0-9]*\).*/\1/p' | head -n1)"
fi
packages=(clang cmake make "libclang-rt-${clang_major:-14}-dev")
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
  echo "Installing missing packages: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
  if [ -z "$clang_major" ]; then
    # clang arrived just now: make sure its own runtime version is there too.
    clang_major="$(clang++ --version | sed -n 's/.*clang version \([0-9]*\).*/\1/p' | head -n1)"
    dpkg-query -W -f='${Status}' "libclang-rt-${clang_major}-dev" 2>/dev/null | grep -q "install ok installed" ||
      $sudo apt-get install -y -qq --no-install-recommends "libclang-rt-${clang_major}-dev"
  fi
fi

CC=clang CXX=clang++ cmake -S "$root" -B "$build_dir" -DKELMORA_FUZZ=ON -DKELMORA_BUILD_UI=OFF \
  -DKELMORA_BUILD_TESTS=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build_dir" --target fuzz_all -j"$(nproc 2>/dev/null || echo 2)"

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  targets=(fuzz_load_project fuzz_load_raw fuzz_import fuzz_palette fuzz_snapshot fuzz_listing fuzz_image_import
    fuzz_extras)
  [ -x "$build_dir/fuzz/fuzz_args" ] && targets+=(fuzz_args)
fi

# Longest inputs worth trying: past 256 sprites (and the PRG address) nothing new happens.
max_len() {
  case "$1" in
    fuzz_load_project | fuzz_load_raw) echo 16500 ;;
    fuzz_import) echo 16600 ;;
    fuzz_palette) echo 8192 ;;
    fuzz_image_import) echo 20012 ;; # two frames of 100 x 100 pixels
    *) echo 4096 ;;
  esac
}

mkdir -p "$build_dir/artifacts"
passed=0
failed=0
for t in "${targets[@]}"; do
  corpus="$build_dir/corpus/$t"
  mkdir -p "$corpus"
  cp -n "$root/fuzz/corpus/$t/"* "$corpus/" 2>/dev/null || true
  extra=()
  [ "$t" = fuzz_args ] && extra+=("-dict=$root/fuzz/args.dict")
  echo "== $t: ${seconds} s"
  if nice "$build_dir/fuzz/$t" "$corpus" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
      -max_len="$(max_len "$t")" -print_final_stats=1 -artifact_prefix="$build_dir/artifacts/$t-" \
      "${extra[@]}" >"$build_dir/$t.log" 2>&1; then
    passed=$((passed + 1))
    grep -E "^stat::(number_of_executed_units|new_units_added)" "$build_dir/$t.log" | tr '\n' ' '
    echo
  else
    failed=$((failed + 1))
    echo "$t FAILED; the last lines of $build_dir/$t.log:"
    tail -n 40 "$build_dir/$t.log"
  fi
done
echo "fuzz: ${passed} passed, ${failed} failed"
[ "$failed" -eq 0 ]
