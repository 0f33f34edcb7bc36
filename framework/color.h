#pragma once
// TColor is 0x00BBGGRR, as the framework writes colours. Pixels in a TBitmap are
// 32-bit words whose bytes in memory are blue, green, red, unused: 0x00RRGGBB.
#include <cstdint>

using TColor = std::int32_t;

constexpr TColor clBlack = 0x000000;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clNavy = 0x800000;
constexpr TColor clMaroon = 0x000080;
// No colour: nothing is filled.
constexpr TColor clNone = 0x1FFFFFFF;

constexpr std::uint8_t ColorRed(TColor c) { return static_cast<std::uint8_t>(c); }
constexpr std::uint8_t ColorGreen(TColor c) { return static_cast<std::uint8_t>(c >> 8); }
constexpr std::uint8_t ColorBlue(TColor c) { return static_cast<std::uint8_t>(c >> 16); }
constexpr TColor MakeColor(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    return static_cast<TColor>(r | (g << 8) | (b << 16));
}

constexpr std::uint32_t ColorToPixel(TColor c) {
    return (static_cast<std::uint32_t>(ColorRed(c)) << 16) | (ColorGreen(c) << 8) | ColorBlue(c);
}
constexpr TColor PixelToColor(std::uint32_t p) {
    return MakeColor(static_cast<std::uint8_t>(p >> 16), static_cast<std::uint8_t>(p >> 8), static_cast<std::uint8_t>(p));
}
