#!/usr/bin/env bash
# The README's picture of the window: docs/talvern-window.png. The sample
# pictures are pasted onto the clip list, the first is selected and a clip
# rectangle typed, so the preview shows a picture with the rectangle's outline.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "${1:-$root/build/win64}" && pwd)"
# Wine sees the Linux file system as drive Z:.
paths="$(for f in "$root"/samples/*.bmp; do printf 'Z:%s\r\n' "${f//\//\\}"; done)"
export SHOT_PATHS="$paths"
exec bash "$root/scripts/take-screenshot.sh" "$build/app/TALVERN.exe" "${2:-$root/docs/talvern-window.png}" \
  640x480 "TALVERN Ver" 3 '
  # The form sits centred on the 640 x 480 desktop (its corner at 80, 48): the
  # menu of the list opens at a right click, 貼り付け pastes, a click on the first row
  # shows it.
  printf "%s" "$SHOT_PATHS" | xclip -selection clipboard
  xdotool mousemove 380 200 click 3
  sleep 1
  xdotool mousemove 420 261 click 1
  sleep 1
  xdotool mousemove 330 109 click 1
  sleep 2
  # The rectangle typed into Left, Top, Right and Bottom, each ended by Enter.
  for edit in "152 295 16" "240 295 12" "152 318 71" "240 318 55"; do
    set -- $edit
    xdotool mousemove "$1" "$2" click 1 key Home shift+End type "$3"
    xdotool key Return
    sleep 0.5
  done
  sleep 1'
