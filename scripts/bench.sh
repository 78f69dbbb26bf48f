#!/usr/bin/env bash
# Installs what is missing, builds the benchmark program optimised and runs it.
# Extra arguments go to Google Benchmark (for example --benchmark_filter=Decode).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DVARNOCK_BUILD_BENCH=ON \
  -DVARNOCK_BUILD_TESTS=OFF >/dev/null
cmake --build build/bench -j "$(nproc)" --target varnock_bench
exec build/bench/bench/varnock_bench "$@"
