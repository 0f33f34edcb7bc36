#!/usr/bin/env bash
# `make run`: opens TALVERN under Wine: the shipped 32-bit program where this
# machine executes 32-bit code, its 64-bit twin elsewhere. Without a display it
# says so in one line, then runs the command-line clipper on samples/ and tells
# where the crops went.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
if bash scripts/win32-support.sh >/dev/null; then
  export TALVERN_WINE_ARCH=win32
else
  export TALVERN_WINE_ARCH=win64
fi
make -s "$TALVERN_WINE_ARCH"
build="$root/build/$TALVERN_WINE_ARCH"
. scripts/wine-env.sh

window="$build/app/TALVERN.exe"
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1 && [ -f "$window" ]; then
  scripts/wine-prefix.sh
  exec "$WINELOADER" "$window"
fi

if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then
  echo "No display available: running the command-line clipper on samples/ instead."
else
  echo "The window program is not built yet: running the command-line clipper on samples/ instead."
fi
out="$root/build/run-output"
mkdir -p "$out"
make -s native >/dev/null
"$root/build/native/cli/talvern-clip" --crop 32x32+8+8 --out "$out" samples/*.bmp || true
echo "The crops went to $out"
