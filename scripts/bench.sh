#!/usr/bin/env bash
# Builds (Release) and runs the benchmarks. Usage: scripts/bench.sh [benchmark-name-filter]
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh bench
cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DSX_BENCH=ON -DSX_TESTS=OFF >/dev/null
cmake --build build-bench -j"$(nproc)"
for b in $(find build-bench/bench -maxdepth 2 -type f -executable -name 'bench_*' | sort); do
  case "$b" in *${1:-}*) echo "== $b"; "$b" --benchmark_counters_tabular=true ;; esac
done
