#!/usr/bin/env bash
# Builds the benchmarks (into build-bench/, or the folder in $FP_BENCH_BUILD_DIR)
# and runs them: Google Benchmark's report, then the machine and a summary
# table for the README's "Measurements". Extra arguments go to the benchmark
# program (--benchmark_filter=Paced, for example). Reports only; it fails
# only when it cannot build or run.
set -euo pipefail
cd "$(dirname "$0")/.."

dir="${FP_BENCH_BUILD_DIR:-build-bench}"
scripts/deps.sh
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DFP_BUILD_BENCH=ON \
  -DFP_BUILD_TESTS=OFF >/dev/null
cmake --build "$dir" --target fp_bench

report="$dir/bench-report.txt"
"$dir/bench/fp_bench" "$@" | tee "$report"
echo
echo "Machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//')"
echo "Table also in $report"
