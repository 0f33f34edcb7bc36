#include <windows.h>

#include "framework/system_colors.h"

TColor ColorToRGB(TColor color)
{
    if (!IsSystemColor(color)) return color;
    return static_cast<TColor>(GetSysColor(static_cast<int>(static_cast<unsigned>(color) & 0xFFu)));
}
