#!/usr/bin/env bash
# Takes the README's picture of calendar-demo: the program in a Wine virtual
# desktop on a private X display (so that Wine draws the window frame), cropped
# to the window, written to docs/calendar-demo.png.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "${1:-$root/build/win64}" && pwd)"
out="${2:-$root/docs/calendar-demo.png}"
exe="$build/calendar/calendar-demo.exe"
[ -f "$exe" ] || { echo "not built: $exe" >&2; exit 1; }
mkdir -p "$(dirname "$out")"
export TALVERN_SCREEN=800x600x24
export SHOT_EXE="$exe" SHOT_OUT="$out"
bash "$root/scripts/with-display.sh" bash -c '
  set -euo pipefail
  cd "$(dirname "$SHOT_EXE")"
  "$WINELOADER" explorer /desktop=shot,800x600 "$(basename "$SHOT_EXE")" >/dev/null 2>&1 &
  desktop=$!
  # The program draws inside the desktop window, which X sees as one window:
  # wait for the desktop, then give the program time to paint.
  for _ in $(seq 60); do
    xwininfo -root -tree 2>/dev/null | grep -q "Wine desktop" && break
    sleep 0.5
  done
  xdotool mousemove 799 599 2>/dev/null || true
  sleep 6
  raw="$(mktemp --suffix=.png)"
  import -window root "$raw"
  # The form is the only thing on the desktop: trimming the desktop colour
  # leaves the form with its frame.
  convert "$raw" -crop 800x600+0+0 +repage -trim +repage "$SHOT_OUT"
  rm -f "$raw"
  kill "$desktop" 2>/dev/null || true
'
echo "wrote $out"
