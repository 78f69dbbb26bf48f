#!/usr/bin/env bash
# Installs what is missing, builds the editor and starts it (on a sample ROM when none given).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/release -j "$(nproc)"

if (($# == 0)); then
  set -- samples/sample.gb
fi
exec build/release/src/varnock "$@"
