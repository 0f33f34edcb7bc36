#include "framework/palette.h"

#include <algorithm>

PaletteHandle NewPalette(int count)
{
    auto palette = std::make_unique<TLogPalette>();
    palette->palNumEntries = static_cast<std::uint16_t>(std::clamp(count, 0, TLogPalette::MaxEntries));
    return palette;
}

PaletteHandle CopyLogPalette(const TLogPalette* source)
{
    if (!source) return nullptr;
    return std::make_unique<TLogPalette>(*source);
}
