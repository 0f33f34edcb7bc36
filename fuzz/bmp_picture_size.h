#pragma once
// Pictures of up to the build's bitmap limit are valid and decode, slowly under
// the sanitizers: one of 512 x 512 costs half a second, a thousand times a small
// one, and the fuzzer, finding new counts in their long loops, fills its corpus
// with them. Above 256 x 256 they take the paths of smaller ones, so the BMP
// targets pass them over; past the limit the bitmap is refused before anything
// is decoded, which stays cheap and is fuzzed.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "framework/pixel_buffer.h"

// The pixels the info header (behind the 14-byte file header) declares, 0 when
// the bytes are too short to hold its size.
inline std::int64_t DeclaredBmpPixels(const std::uint8_t* data, std::size_t size)
{
    const auto u16 = [data](std::size_t at) { return std::int64_t(data[at] | data[at + 1] << 8); };
    const auto i32 = [data](std::size_t at) {
        return std::int64_t(std::int32_t(std::uint32_t(data[at]) | std::uint32_t(data[at + 1]) << 8 |
                                         std::uint32_t(data[at + 2]) << 16 | std::uint32_t(data[at + 3]) << 24));
    };
    if (size < 26) return 0;
    if (u16(14) == 12 && u16(16) == 0) return u16(18) * u16(20);
    return std::llabs(i32(18)) * std::llabs(i32(22));
}

inline bool SlowBmpPicture(const std::uint8_t* data, std::size_t size)
{
    const std::int64_t pixels = DeclaredBmpPixels(data, size);
    return pixels > (1 << 16) && pixels <= MaxBitmapPixels;
}
