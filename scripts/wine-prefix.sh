#!/usr/bin/env bash
# Makes the project's own Wine prefix once (for the arch of wine-env.sh), Japanese fonts
# substituted for the window's "ＭＳ Ｐゴシック".
set -euo pipefail
. "$(dirname "$0")/wine-env.sh"
stamp="$WINEPREFIX/.talvern-ready"
fonts_stamp="$WINEPREFIX/.talvern-fonts-3"
[ -f "$stamp" ] && [ -f "$fonts_stamp" ] && exit 0
mkdir -p "$WINEPREFIX"
if [ ! -f "$stamp" ]; then
  "$WINELOADER" wineboot -i >/dev/null 2>&1 || true
  wineserver -w
fi
# Proportional faces get the proportional IPA font, fixed-pitch ones the fixed.
for face in "ＭＳ Ｐゴシック" "MS PGothic" "MS UI Gothic" "MS Shell Dlg" "MS Shell Dlg 2" "Tahoma" "MS Sans Serif"; do
  "$WINELOADER" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$face" /t REG_SZ /d "IPAPGothic" /f >/dev/null 2>&1
done
for face in "ＭＳ ゴシック" "MS Gothic"; do
  "$WINELOADER" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$face" /t REG_SZ /d "IPAGothic" /f >/dev/null 2>&1
done
# The frame's caption buttons are drawn with Wine's own Marlett font.
if [ -f /usr/share/wine/fonts/marlett.ttf ]; then
  mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
  cp -f /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
fi
wineserver -w
touch "$stamp" "$fonts_stamp"
