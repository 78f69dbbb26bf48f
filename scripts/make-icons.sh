#!/usr/bin/env bash
# Draws the program's PNG icons from its SVG icon, in the sizes desktops look for. Run it
# after changing data/icons/org.varnockpro.VarnockPro.svg and commit the pictures.
set -euo pipefail
cd "$(dirname "$0")/.."

command -v rsvg-convert >/dev/null || {
  echo "needs rsvg-convert (Debian package librsvg2-bin)" >&2
  exit 1
}
svg=data/icons/org.varnockpro.VarnockPro.svg
for size in 16 22 24 32 48 64 128 256; do
  rsvg-convert -w "$size" -h "$size" "$svg" -o "data/icons/${size}.png"
done
