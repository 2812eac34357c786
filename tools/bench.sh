#!/usr/bin/env bash
# Builds the native Release preset with the benchmarks, runs them (the module
# beside the reference model, in one run) and writes build/bench/results.json
# and build/bench/results.md; prints the Markdown table at the end. Extra
# arguments go to the benchmark program (for instance --benchmark_filter=...).
# Exits non-zero when a goal is not met.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=${STATS_JOBS:-2}

cmake --preset native-release >/dev/null
cmake --build --preset native-release -j"$jobs" --target stats_bench

mkdir -p build/bench
status=0
# The program prints every benchmark and then the table of ratios.
build/native-release/bench/stats_bench --benchmark_color=false --results-dir=build/bench "$@" \
  2>&1 | tee build/bench/run.txt || status=$?
echo
echo "Written: build/bench/results.json and build/bench/results.md"
exit "$status"
