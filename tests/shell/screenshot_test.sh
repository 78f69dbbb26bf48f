#!/usr/bin/env bash
# Starts the real editor under a virtual X server with a sample ROM, takes its screenshot and
# checks the picture.
set -euo pipefail
editor=$1
checker=$2
sample=$3
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x1024x24" "$editor" --screenshot "$folder/shot.png" "$sample"
QT_QPA_PLATFORM=offscreen "$checker" "$folder/shot.png" 1280 1024
