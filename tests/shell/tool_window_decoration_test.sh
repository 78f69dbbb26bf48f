#!/usr/bin/env bash
# Starts the real editor with a sample ROM under a virtual X server with a window manager
# (openbox, which gives every window it decorates a close box) and checks that it decorates no
# tool window: each is managed, with frame extents of zero, and draws its own caption; and that
# at their first places no tool window covers another.
set -euo pipefail
editor=$1
sample=$2
if [[ ${3:-} != --inside ]]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" bash "$0" "$editor" "$sample" --inside
fi
openbox &
wm=$!
# The window manager announces itself on the root window once it manages windows.
for _ in $(seq 100); do
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && break
  sleep 0.1
done
QT_QPA_PLATFORM=xcb "$editor" "$sample" &
app=$!
trap 'kill $app $wm 2>/dev/null || true' EXIT
for title in "Editor Palette" "Tile Arranger" "Tile Editor"; do
  extents=""
  for _ in $(seq 150); do
    extents=$(xprop -name "$title" _NET_FRAME_EXTENTS 2>/dev/null || true)
    [[ $extents == *=* ]] && break
    sleep 0.1
  done
  if [[ $extents != *"= 0, 0, 0, 0" ]]; then
    echo "$title is decorated by the window manager, or not managed: ${extents:-no window}" >&2
    exit 1
  fi
done
# The frames as the window manager placed them: left, top, right, bottom (exclusive).
frames=()
for title in "Tile Arranger" "Tile Editor" "Editor Palette"; do
  info=$(xwininfo -name "$title")
  left=$(sed -n 's/.*Absolute upper-left X: *//p' <<<"$info")
  top=$(sed -n 's/.*Absolute upper-left Y: *//p' <<<"$info")
  width=$(sed -n 's/.*Width: *//p' <<<"$info")
  height=$(sed -n 's/.*Height: *//p' <<<"$info")
  frames+=("$title:$left:$top:$((left + width)):$((top + height))")
done
for a in "${frames[@]}"; do
  for b in "${frames[@]}"; do
    [[ $a == "$b" ]] && continue
    IFS=: read -r na la ta ra ba <<<"$a"
    IFS=: read -r nb lb tb rb bb <<<"$b"
    if ((la < rb && lb < ra && ta < bb && tb < ba)); then
      echo "$na ($la,$ta)-($ra,$ba) covers $nb ($lb,$tb)-($rb,$bb)" >&2
      exit 1
    fi
  done
done
echo "no tool window is decorated or covers another"
