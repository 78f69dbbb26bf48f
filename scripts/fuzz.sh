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

# Seeds of an emulator save state's length, a byte short of it, and a byte past it: a state's
# palette lies 22 KB (NESticle) or 51 KB (ZSNES) into the file, far beyond what the fuzzer
# would grow an input to on its own.
seed_save_states() {  # corpus folder
  local corpus=$1 length
  for length in 22823 22822 22824 52755 52754 52756; do
    head -c "$length" /dev/zero >"$corpus/state-zero-$length"
    # Every byte 0x3F: the last NES colour, and a fifteen-bit word with the top bit clear.
    head -c "$length" /dev/zero | tr '\0' '?' >"$corpus/state-3f-$length"
  done
}

for target in build/fuzz/fuzz/fuzz_*; do
  [[ -x $target ]] || continue
  name=$(basename "$target")
  corpus=fuzz/corpus-$name
  mkdir -p "$corpus"
  options=()
  if [[ $name == fuzz_palette_files ]]; then
    seed_save_states "$corpus"
    options+=(-max_len=65536)
  fi
  # Compressing builds a suffix order per input, costly under coverage: inputs past two long
  # forms (2 KiB) add runs of the same rules, not new ones.
  if [[ $name == fuzz_compress_nintendo ]]; then
    options+=(-max_len=2048)
  fi
  # The project reader starts from the sample project, so its inputs are projects from the first run.
  if [[ $name == fuzz_project_file ]]; then
    cp samples/*.vrkproj "$corpus/"
  fi
  if [[ $name == fuzz_picture_import ]]; then
    build/fuzz/fuzz/picture_seeds "$corpus"
    options+=(-max_len=16384)
  fi
  echo "== $name for ${seconds}s"
  "$target" "$corpus" "${options[@]}" -max_total_time="$seconds" -artifact_prefix=fuzz/crash- \
    -print_final_stats=1 2>&1 | grep -E '^(stat::number_of_executed_units|stat::peak_rss_mb|==.*ERROR|SUMMARY)' || true
done
