#!/usr/bin/env bash
# Runs one Windows program under the project's Wine prefix (the CTest emulator).
# An optional first argument, win32 or win64, names the tree's Wine.
set -euo pipefail
case "${1:-}" in win32 | win64) export TALVERN_WINE_ARCH="$1"; shift ;; esac
. "$(dirname "$0")/wine-env.sh"
"$(dirname "$0")/wine-prefix.sh"
exec "$WINELOADER" "$@"
