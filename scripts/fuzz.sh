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

# The installed encoding descriptions, each after a tile of bytes (the target reads the tile
# first): without them the reader never gets as far as an accepted description.
seed_codec_files() {  # corpus folder
  local corpus=$1 file
  for file in data/codecs/*.vrkcodec; do
    { head -c 128 /dev/zero | tr '\0' '\245'; cat "$file"; } >"$corpus/seed-$(basename "$file")"
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
  if [[ $name == fuzz_codec_file ]]; then
    seed_codec_files "$corpus"
  fi
  # The first byte picks one format a run; real-size seeds (the sample's stream, tile-like data
  # of 1 to 64 KiB) reach the long commands, far copies and later tiles small inputs never do.
  if [[ $name == fuzz_compress_nintendo ]]; then
    build/fuzz/fuzz/compressor_seeds 4 samples "$corpus"
    options+=(-max_len=65537)
  fi
  if [[ $name == fuzz_compress_sega ]]; then
    build/fuzz/fuzz/compressor_seeds 2 samples "$corpus"
    options+=(-max_len=65537)
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
