#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for the given number of seconds
# (default 60). Findings land in fuzz/crash-* and are printed.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-60}
scripts/install-deps.sh
CXX=clang++ cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVARNOCK_BUILD_FUZZ=ON -DVARNOCK_BUILD_UI=OFF -DVARNOCK_BUILD_TESTS=OFF >/dev/null
cmake --build build/fuzz -j "$(nproc)"

for target in build/fuzz/fuzz/fuzz_*; do
  [[ -x $target ]] || continue
  name=$(basename "$target")
  mkdir -p "fuzz/corpus-$name"
  echo "== $name for ${seconds}s"
  "$target" "fuzz/corpus-$name" -max_total_time="$seconds" -artifact_prefix=fuzz/crash- \
    -print_final_stats=1 2>&1 | grep -E '^(stat::number_of_executed_units|stat::peak_rss_mb|==.*ERROR|SUMMARY)' || true
done
