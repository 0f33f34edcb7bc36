#!/usr/bin/env bash
# The README's pictures of the window, in docs/:
#   talvern-window.png   the sample pictures pasted onto the clip list from a
#                        folder with a long path, the first selected (its path
#                        above the size button) and a clip rectangle typed, so
#                        the preview shows a picture with the rectangle's outline;
#   talvern-chooser.png  the folder chooser (参照...) open at that folder;
#   talvern-help.png     the help window (ヘルプ).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "${1:-$root/build/win64}" && pwd)"
docs="${2:-$root/docs}"
shot="$root/scripts/take-screenshot.sh"
exe="$build/app/TALVERN.exe"

# The samples in a folder whose path is too long for the caption above the size
# button, on the Wine prefix's drive C:. On the 640 x 480 desktop the form sits
# centred, its corner at 80, 48: the menu of the list opens at a right click,
# 貼り付け pastes, a click on the first row shows it.
export SHOT_SAMPLES="$root/samples"
export SHOT_FOLDER='pictures of the summer holidays\the first day at the sea'
paste_and_select='
  folder="$WINEPREFIX/drive_c/${SHOT_FOLDER//\\//}"
  mkdir -p "$folder"
  cp "$SHOT_SAMPLES"/*.bmp "$folder/"
  for f in "$SHOT_SAMPLES"/*.bmp; do printf "%s\r\n" "C:\\$SHOT_FOLDER\\$(basename "$f")"; done |
    xclip -selection clipboard
  xdotool mousemove 380 200 click 3
  sleep 1
  xdotool mousemove 420 261 click 1
  sleep 1
  xdotool mousemove 330 109 click 1
  sleep 2'

bash "$shot" "$exe" "$docs/talvern-window.png" 640x480 "TALVERN Ver" 3 "$paste_and_select"'
  # The rectangle typed into Left, Top, Right and Bottom, each ended by Enter.
  for edit in "152 295 16" "240 295 12" "152 318 71" "240 318 55"; do
    set -- $edit
    xdotool mousemove "$1" "$2" click 1 key Home shift+End type "$3"
    xdotool key Return
    sleep 0.5
  done
  sleep 1'

# The folder pasted into 出力先, then 参照... opens the chooser at it.
bash "$shot" "$exe" "$docs/talvern-chooser.png" 640x480 "TALVERN Ver" 3 "$paste_and_select"'
  printf "%s" "C:\\$SHOT_FOLDER" | xclip -selection clipboard
  xdotool mousemove 410 344 click 1 key Home shift+End ctrl+v
  sleep 0.5
  xdotool mousemove 523 344 click 1
  sleep 3'

# The help window is wider than the small desktop: on 1024 x 768 the form's
# corner is at 273, 193.
bash "$shot" "$exe" "$docs/talvern-help.png" 1024x768 "TALVERN Ver" 3 '
  xdotool mousemove 704 531 click 1
  sleep 3'
