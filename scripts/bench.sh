#!/bin/sh
# Builds the benchmarks in an optimised tree of their own (build-release) and runs them:
# the peak engine, the graph's redraws and the re-processing of an archive.
#   scripts/bench.sh [TESTS [JOBS]]     TESTS and JOBS go to the archive batch
set -e
cd "$(dirname "$0")/.."
cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DDGAWS_TESTS=OFF >/dev/null
cmake --build build-release --target peak_engine_bench graph_redraw_bench batch_bench
build-release/bench/peak_engine_bench
QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}" build-release/bench/graph_redraw_bench
build-release/bench/batch_bench "$@"
