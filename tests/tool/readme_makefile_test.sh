#!/usr/bin/env bash
# Runs the project Makefile the README shows, as it stands, in a scratch folder holding the
# compressed sample and its project: the missing pictures are extracted, the ROM built from them
# is the sample itself, and a changed picture lands in the next build.
# usage: readme_makefile_test.sh SOURCE_DIR TOOL_DIR
set -euo pipefail
source_dir=$1
export PATH="$2:$PATH"
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
mkdir "$dir/samples"
cp "$source_dir/samples/sample-compressed.gba" "$source_dir/samples/sample-compressed.vrkproj" "$dir/samples/"
sed -n '/^<!-- the project Makefile/,/^```$/p' "$source_dir/README.md" | sed '1,2d;$d' >"$dir/Makefile"
[[ $(grep -c . "$dir/Makefile") == 3 ]] || { echo "the README's Makefile is not three lines:"; cat "$dir/Makefile"; exit 1; }
cd "$dir"
rom=samples/sample-compressed.gba

make -s >first.txt
for picture in swatches font card; do
  [[ -s samples/gfx/$picture.png ]] || { echo "no picture of $picture"; exit 1; }
done
grep -qx "nothing changed" first.txt || { echo "the first build changed something:"; cat first.txt; exit 1; }
cmp $rom patched.gba
# Nothing to do until a picture changes.
[[ $(make 2>&1) == *"up to date"* ]] || { echo "make ran again with nothing changed"; exit 1; }

# The font's picture replaced by the 36 tiles one tile further on.
sleep 1
varnock-tool export $rom samples/gfx/font.png --offset 0x2E0 --tiles 36 --columns 12
make -s >second.txt
grep -Eq "^font: [0-9]+ bytes at 0x2C[0-9A-F]$" second.txt || { echo "the font was not built:"; cat second.txt; exit 1; }
varnock-tool export patched.gba font-now.png --offset 0x2C0 --tiles 36 --columns 12
cmp samples/gfx/font.png font-now.png
# Only the font's bytes and the header checksum (0xBD..0xBF) changed.
{ cmp -l $rom patched.gba || true; } | awk '
  { at = $1 - 1 }
  !((at >= 189 && at <= 191) || (at >= 704 && at < 1856)) { print "byte " at " changed"; bad = 1 }
  END { exit bad }'
