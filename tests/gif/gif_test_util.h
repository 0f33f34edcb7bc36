#pragma once
// Decoding helpers shared by the GIF tests.
#include <cstdint>
#include <memory>
#include <vector>

#include "framework/bitmap.h"
#include "framework/streams.h"
#include "gif/kxv_gif.h"

inline std::unique_ptr<TBitmap> DecodeGif(kxvGIF& gif, const std::vector<std::uint8_t>& bytes)
{
    auto bitmap = std::make_unique<TBitmap>();
    TMemoryStream stream(bytes);
    gif.LoadFromStream(stream, *bitmap);
    return bitmap;
}

inline std::unique_ptr<TBitmap> DecodeGif(const std::vector<std::uint8_t>& bytes)
{
    kxvGIF gif;
    return DecodeGif(gif, bytes);
}

// Pixel (x, y) as 0x00RRGGBB, top byte dropped.
inline std::uint32_t Px(TBitmap& bitmap, int x, int y)
{
    return bitmap.ScanLine(y)[x] & 0xFFFFFF;
}

inline std::vector<std::uint32_t> Pixels(TBitmap& bitmap)
{
    std::vector<std::uint32_t> out;
    for (int y = 0; y < bitmap.Height(); ++y)
        for (int x = 0; x < bitmap.Width(); ++x) out.push_back(Px(bitmap, x, y));
    return out;
}

// Deterministic pseudo-random indices below `colors`.
inline std::vector<std::uint8_t> NoisePixels(std::size_t count, int colors, std::uint32_t seed)
{
    std::vector<std::uint8_t> out(count);
    for (auto& v : out) {
        seed = seed * 1664525u + 1013904223u;
        v = std::uint8_t((seed >> 24) % unsigned(colors));
    }
    return out;
}

// A table of n distinct colours.
inline std::vector<std::uint8_t> DistinctRgb(int n)
{
    std::vector<std::uint8_t> out;
    for (int i = 0; i < n; ++i) {
        out.push_back(std::uint8_t(i * 37 + 11));
        out.push_back(std::uint8_t(i * 91 + 3));
        out.push_back(std::uint8_t(255 - i));
    }
    return out;
}

inline std::uint32_t RgbAt(const std::vector<std::uint8_t>& rgb, int i)
{
    return std::uint32_t(rgb[3 * i]) << 16 | std::uint32_t(rgb[3 * i + 1]) << 8 | rgb[3 * i + 2];
}
