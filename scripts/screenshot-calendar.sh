#!/usr/bin/env bash
# The README's picture of calendar-demo: docs/calendar-demo.png. The program draws
# inside the desktop window, which X sees as one window, so the wait is for the
# desktop and then for the program to paint.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "${1:-$root/build/win64}" && pwd)"
exec bash "$root/scripts/take-screenshot.sh" "$build/calendar/calendar-demo.exe" "${2:-$root/docs/calendar-demo.png}" \
  800x600 "Wine desktop" 6
