#!/usr/bin/env bash
# Takes a picture of one Windows program: the program in a Wine virtual desktop
# on a private X display (so that Wine draws the window frame), cropped to the
# window.
#   scripts/take-screenshot.sh PROGRAM.exe OUT.png DESKTOP_SIZE WAIT_FOR_TITLE SETTLE_SECONDS [ACTIONS]
# ACTIONS, when given, is a shell command run once the window is up (it may use
# xdotool and xclip on the display), before the picture is taken.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
exe="$1" out="$2" desktop="$3" title="$4" settle="$5" actions="${6:-}"
[ -f "$exe" ] || { echo "not built: $exe" >&2; exit 1; }
mkdir -p "$(dirname "$out")"
export TALVERN_SCREEN=1024x768x24
export SHOT_EXE="$exe" SHOT_OUT="$out" SHOT_DESKTOP="$desktop" SHOT_TITLE="$title" SHOT_SETTLE="$settle"
export SHOT_ACTIONS="$actions"
bash "$root/scripts/with-display.sh" bash -c '
  set -euo pipefail
  cd "$(dirname "$SHOT_EXE")"
  "$WINELOADER" explorer /desktop=shot,"$SHOT_DESKTOP" "$(basename "$SHOT_EXE")" >/dev/null 2>&1 &
  shown=$!
  for _ in $(seq 60); do
    xwininfo -root -tree 2>/dev/null | grep -q "$SHOT_TITLE" && break
    sleep 0.5
  done
  sleep "$SHOT_SETTLE"
  if [ -n "$SHOT_ACTIONS" ]; then bash -c "$SHOT_ACTIONS"; fi
  xdotool mousemove 1023 767 2>/dev/null || true
  sleep 1
  raw="$(mktemp --suffix=.png)"
  import -window root "$raw"
  # The desktop sits at the top-left of the display and the form is the only
  # thing on it: trimming the desktop colour leaves the form with its frame.
  convert "$raw" -crop "$SHOT_DESKTOP"+0+0 +repage -trim +repage "$SHOT_OUT"
  rm -f "$raw"
  kill "$shown" 2>/dev/null || true
'
echo "wrote $out"
