#!/usr/bin/env bash
# Draws docs/varnock-pro.png, the README's picture: the editor with sample images open, taken
# by its own screenshot mode under a virtual X server. Run it again after the windows change.
# usage: scripts/readme-picture.sh [BUILD_DIR]   (default build/release, built when missing)
set -euo pipefail
cd "$(dirname "$0")/.."

build=${1:-build/release}
if [[ ! -x $build/src/varnock ]]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$build" --target varnock
fi
mkdir -p docs
QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x800x24" "$build/src/varnock" \
  --screenshot docs/varnock-pro.png samples/sample.smc samples/sample.gb
echo "wrote docs/varnock-pro.png"
