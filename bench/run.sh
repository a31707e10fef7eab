#!/usr/bin/env bash
# Builds the benchmarks in Release, runs the whole suite once and prints the Markdown table of
# the README's Benchmarks section: times, ratios to reading and parsing the files once, peak
# memory, and whether each target is met.
#   bench/run.sh                          build into ./build-bench
#   SKARVEL_BENCH_BUILD_DIR=/tmp/b bench/run.sh
#   bench/run.sh --benchmark_min_time=2   extra arguments go to skarvel_bench
set -euo pipefail
SKARVEL_ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD_DIR=${SKARVEL_BENCH_BUILD_DIR:-$SKARVEL_ROOT/build-bench}

cmake -S "$SKARVEL_ROOT" -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DSKARVEL_BUILD_GUI=OFF -DSKARVEL_BUILD_BENCH=ON >/dev/null
cmake --build "$BUILD_DIR" --parallel 2 --target skarvel_bench >/dev/null

exec python3 "$SKARVEL_ROOT/bench/table.py" "$BUILD_DIR/skarvel/skarvel_bench" "$@"
