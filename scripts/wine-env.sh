# Sourced: the environment every Wine call of the project runs in.
TALVERN_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export WINEPREFIX="${TALVERN_WINEPREFIX:-$TALVERN_ROOT/build/wineprefix}"
export WINEARCH=win64
# The 64-bit loader itself: the `wine` wrapper would pick the 32-bit one first.
export WINELOADER=/usr/lib/wine/wine64
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="mscoree,mshtml="
# ja_JP.UTF-8 makes Wine's ANSI code page 932, as on a Japanese system.
export LANG=ja_JP.UTF-8
export LC_ALL=ja_JP.UTF-8
