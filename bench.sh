#!/usr/bin/env bash
# Installs what is missing, builds the benchmarks in Release (build-bench/) and runs
# them. Every figure is printed next to its reference from the same run, with the
# ratio and the target; the closing table holds the medians.
#   ./bench.sh                                   every benchmark
#   ./bench.sh --benchmark_filter=RefreshAll     a selection (Google Benchmark flags)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
build_dir="$root/build-bench"

"$root/scripts/setup.sh" --packages editor,bench --target kelmora_bench "$build_dir" -DCMAKE_BUILD_TYPE=Release -DKELMORA_BUILD_BENCH=ON \
  -DKELMORA_BUILD_TESTS=OFF
export QT_QPA_PLATFORM=offscreen
exec "$build_dir/bench/kelmora_bench" "$@"
