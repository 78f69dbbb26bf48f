#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test twice: a normal optimised build and an
# AddressSanitizer + UndefinedBehaviorSanitizer build.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

jobs=$(nproc)
configure() {  # folder, extra cmake arguments...
  local dir=$1
  shift
  local launcher=()
  # A compiler cache, where the machine has one, makes rebuilds of unchanged sources free.
  command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  cmake -S . -B "$dir" -G Ninja -DVARNOCK_WERROR=ON "${launcher[@]}" "$@" >/dev/null
}

configure build/release -DCMAKE_BUILD_TYPE=Release
cmake --build build/release -j "$jobs"
configure build/sanitize -DCMAKE_BUILD_TYPE=Debug -DVARNOCK_SANITIZE=ON
cmake --build build/sanitize -j "$jobs"

status=0
echo "== Tests, optimised build"
(cd build/release && ctest --output-on-failure -j "$jobs") || status=1
echo "== Tests, sanitizer build"
# Qt's own libraries are not instrumented and keep some allocations until exit; a test
# of the out-of-memory message needs failed allocations to return null as they do unsanitised.
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1:allocator_may_return_null=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
(cd build/sanitize && ctest --output-on-failure -j "$jobs") || status=1
exit $status
