#!/usr/bin/env bash
# Runs the 32-bit Windows tests under 32-bit Wine, in a prefix of their own, where
# this machine executes 32-bit code; elsewhere says in one line why they are
# skipped and succeeds.
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build/win32}"
if ! reason="$(bash scripts/win32-support.sh)"; then
  echo "32-bit Windows tests skipped: $reason."
  exit 0
fi
TALVERN_WINE_ARCH=win32 bash scripts/with-display.sh sh -c "cd '$build' && ctest --output-on-failure"
