#!/usr/bin/env bash
# Makes the project's own Wine prefix once: 32-bit-capable, Japanese fonts
# substituted for the window's "ＭＳ Ｐゴシック".
set -euo pipefail
. "$(dirname "$0")/wine-env.sh"
stamp="$WINEPREFIX/.talvern-ready"
[ -f "$stamp" ] && exit 0
mkdir -p "$WINEPREFIX"
"$WINELOADER" wineboot -i >/dev/null 2>&1 || true
wineserver -w
for face in "ＭＳ Ｐゴシック" "ＭＳ ゴシック" "MS PGothic" "MS Gothic" "MS UI Gothic" "MS Shell Dlg" "MS Shell Dlg 2" "Tahoma" "MS Sans Serif"; do
  "$WINELOADER" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$face" /t REG_SZ /d "IPAGothic" /f >/dev/null 2>&1
done
wineserver -w
touch "$stamp"
