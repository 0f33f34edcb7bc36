#!/usr/bin/env bash
# The README's picture of the window: docs/talvern-window.png.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "${1:-$root/build/win64}" && pwd)"
exec bash "$root/scripts/take-screenshot.sh" "$build/app/TALVERN.exe" "${2:-$root/docs/talvern-window.png}" \
  640x480 "TALVERN Ver" 3
