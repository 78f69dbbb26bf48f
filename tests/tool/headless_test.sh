#!/usr/bin/env bash
# The tool runs where there is no display and links no window library.
# usage: headless_test.sh TOOL SAMPLE
set -euo pipefail
tool=$1
sample=$2
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
libraries=$(ldd "$tool")
if grep -q 'libQt6Widgets' <<<"$libraries"; then
  echo "$tool links libQt6Widgets"
  exit 1
fi
grep -q 'libQt6Gui' <<<"$libraries" || { echo "$tool does not link libQt6Gui: is it the tool?"; exit 1; }
bare=(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM)
"${bare[@]}" "$tool" export "$sample" "$dir/card.png" --offset 0x2100 --compressed lz10
"${bare[@]}" "$tool" import "$sample" "$dir/card.png" --offset 0xC0 -o "$dir/copy.gba"
# The stream holds the tiles the view shows at 0xC0: written there, they change nothing.
cmp "$sample" "$dir/copy.gba"
