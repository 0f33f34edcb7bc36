#!/usr/bin/env bash
# Runs one Windows program under the project's Wine prefix (the CTest emulator).
set -euo pipefail
. "$(dirname "$0")/wine-env.sh"
"$(dirname "$0")/wine-prefix.sh"
exec "$WINELOADER" "$@"
