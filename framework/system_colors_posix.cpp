// Without a platform colour scheme: the classic one.
#include "framework/system_colors.h"

TColor ColorToRGB(TColor color)
{
    if (!IsSystemColor(color)) return color;
    switch (static_cast<unsigned>(color) & 0xFFu) {
    case 5: return clWhite;
    case 13: return clNavy;
    case 14: return clWhite;
    case 15: return clSilver;
    case 16: return clGray;
    case 20: return clWhite;
    default: return clBlack;
    }
}
