#pragma once
// Logical palette: version word, entry count, up to 256 entries. Every palette the
// system makes has version 0x300 and flags 0. A palette is owned through
// PaletteHandle; whoever holds the handle frees it.
#include <array>
#include <cstdint>
#include <memory>

struct TPaletteEntry {
    std::uint8_t peRed = 0;
    std::uint8_t peGreen = 0;
    std::uint8_t peBlue = 0;
    std::uint8_t peFlags = 0;
    bool operator==(const TPaletteEntry&) const = default;
};

struct TLogPalette {
    static constexpr int MaxEntries = 256;
    std::uint16_t palVersion = 0x300;
    std::uint16_t palNumEntries = 0;
    std::array<TPaletteEntry, MaxEntries> palPalEntry{};
};

using PaletteHandle = std::unique_ptr<TLogPalette>;

// A new palette with `count` (clamped to 0..256) zeroed entries.
PaletteHandle NewPalette(int count);
// A copy of the header and all its entries; none for none.
PaletteHandle CopyLogPalette(const TLogPalette* source);
