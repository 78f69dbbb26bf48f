#!/usr/bin/env bash
# Runs the tool script the README shows, word for word, in a scratch folder holding the
# samples, and checks what it wrote: the stream's tiles mirrored, the rest of the ROM kept.
# usage: readme_script_test.sh SOURCE_DIR TOOL_DIR
set -euo pipefail
source_dir=$1
export PATH="$2:$PATH"
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
mkdir "$dir/samples"
cp "$source_dir/samples/sample-compressed.gba" "$dir/samples/"
script=$(sed -n '/^<!-- the tool script/,/^```$/p' "$source_dir/README.md" | sed '1,2d;$d')
[[ $(grep -c . <<<"$script") == 3 ]] || { echo "the README's script is not three lines:"; echo "$script"; exit 1; }
cd "$dir"
bash -euo pipefail -c "$script"

rom=samples/sample-compressed.gba
# What the patched stream must hold: the mirrored picture written into the original's tiles
# without compression, through the same import.
varnock-tool decompress $rom 0x2100 lz10 -o before.bin
varnock-tool import before.bin card.bmp --format gba -o want.bin
varnock-tool decompress patched.gba 0x2100 lz10 -o after.bin
cmp want.bin after.bin
if cmp -s before.bin after.bin; then echo "the tiles did not change"; exit 1; fi
# ImageMagick kept the indices: the first pixel row of the picture, read back, is the mirror of
# the exported one.
varnock-tool export patched.gba again.png --offset 0x2100 --compressed lz10
[[ $(convert again.png -flop -compress none BMP3:- | md5sum) == \
   $(convert card.png -compress none BMP3:- | md5sum) ]] || { echo "the picture is not the mirror"; exit 1; }
# Outside the stream's place only the GBA header checksums (0xBD..0xBF) may differ, and they
# agree with the image.
place=$(varnock-tool scan $rom --formats lz10 | awk '$1 == "0x00002100" { print $3 }')
[[ -n $place ]] || { echo "no stream at 0x2100 in the sample"; exit 1; }
{ cmp -l $rom patched.gba || true; } | awk -v end=$((0x2100 + place)) '
  { at = $1 - 1 }
  !((at >= 189 && at <= 191) || (at >= 8448 && at < end)) { print "byte " at " changed"; bad = 1 }
  END { exit bad }'
varnock-tool checksum patched.gba
