#!/usr/bin/env bash
# Takes the README's picture of the window: TALVERN in a Wine virtual desktop on
# a private X display (so that Wine draws the window frame), cropped to the
# window, written to docs/talvern-window.png.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "${1:-$root/build/win64}" && pwd)"
out="${2:-$root/docs/talvern-window.png}"
exe="$build/app/TALVERN.exe"
[ -f "$exe" ] || { echo "not built: $exe" >&2; exit 1; }
mkdir -p "$(dirname "$out")"
export TALVERN_SCREEN=800x600x24
export SHOT_EXE="$exe" SHOT_OUT="$out"
bash "$root/scripts/with-display.sh" bash -c '
  set -euo pipefail
  cd "$(dirname "$SHOT_EXE")"
  "$WINELOADER" explorer /desktop=shot,640x480 "$(basename "$SHOT_EXE")" >/dev/null 2>&1 &
  desktop=$!
  # Wait until the window has appeared and settled.
  for _ in $(seq 60); do
    xwininfo -root -tree 2>/dev/null | grep -q "TALVERN Ver" && break
    sleep 0.5
  done
  xdotool mousemove 799 599 2>/dev/null || true
  sleep 3
  raw="$(mktemp --suffix=.png)"
  import -window root "$raw"
  # The desktop window sits at the top-left of the display; the form is the
  # only thing on it, so trimming the desktop colour leaves the form.
  convert "$raw" -crop 640x480+0+0 +repage -trim +repage "$SHOT_OUT"
  rm -f "$raw"
  kill "$desktop" 2>/dev/null || true
'
echo "wrote $out"
