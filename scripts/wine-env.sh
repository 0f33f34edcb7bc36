# Sourced: the environment every Wine call of the project runs in.
# TALVERN_WINE_ARCH chooses the tree's Wine: win64 (the default) or win32, each
# with a prefix of its own under build/.
TALVERN_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
TALVERN_WINE_ARCH="${TALVERN_WINE_ARCH:-win64}"
export TALVERN_WINE_ARCH
if [ "$TALVERN_WINE_ARCH" = win32 ]; then
  export WINEPREFIX="${TALVERN_WINEPREFIX32:-$TALVERN_ROOT/build/wineprefix-win32}"
  export WINEARCH=win32
  export WINELOADER=/usr/lib/wine/wine
else
  export WINEPREFIX="${TALVERN_WINEPREFIX:-$TALVERN_ROOT/build/wineprefix}"
  export WINEARCH=win64
  # The 64-bit loader itself: the `wine` wrapper would pick the 32-bit one first.
  export WINELOADER=/usr/lib/wine/wine64
fi
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="mscoree,mshtml="
# ja_JP.UTF-8 makes Wine's ANSI code page 932, as on a Japanese system.
export LANG=ja_JP.UTF-8
export LC_ALL=ja_JP.UTF-8
