#include "framework/dib_layout.h"

#include <climits>

// Accepted: OS/2 12-byte headers and the Windows headers of 40 bytes and more
// (52, 56, 64, 108, 124), read as what they are; masks after a 40-byte header
// with bit fields; a colour count of 0 meaning the full table at 8 bits or less.
// Refused: unknown header sizes, depths and compressions, widths or heights out
// of range, run-length data without a stated size, and anything whose info part
// does not fit in the bytes given.

namespace {

std::uint32_t U32(const std::uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | std::uint32_t(p[3]) << 24; }
std::uint16_t U16(const std::uint8_t* p) { return std::uint16_t(p[0] | p[1] << 8); }

constexpr std::uint32_t kRgb = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3;

bool KnownHeaderSize(std::uint32_t size)
{
    return size == 12 || size == 40 || size == 52 || size == 56 || size == 64 || size == 108 || size == 124;
}

bool KnownDepth(std::uint16_t bits)
{
    return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

bool DepthFitsCompression(std::uint16_t bits, std::uint32_t compression)
{
    switch (compression) {
    case kRgb: return true;
    case kRle8: return bits == 8;
    case kRle4: return bits == 4;
    case kBitFields: return bits == 16 || bits == 32;
    default: return false;
    }
}

}  // namespace

std::optional<TDibLayout> MeasureDib(const std::uint8_t* info, std::size_t infoBytes)
{
    if (!info || infoBytes < 12) return std::nullopt;
    TDibLayout dib;
    dib.HeaderSize = U32(info);
    if (!KnownHeaderSize(dib.HeaderSize) || dib.HeaderSize > infoBytes) return std::nullopt;

    std::uint64_t colors = 0;
    std::uint32_t statedImageSize = 0;
    if (dib.HeaderSize == 12) {
        dib.Width = U16(info + 4);
        dib.Height = U16(info + 6);
        dib.BitCount = U16(info + 10);
    } else {
        dib.Width = std::int32_t(U32(info + 4));
        dib.Height = std::int32_t(U32(info + 8));
        dib.BitCount = U16(info + 14);
        dib.Compression = U32(info + 16);
        statedImageSize = U32(info + 20);
        colors = U32(info + 32);
    }
    if (dib.Width <= 0 || dib.Height == 0 || dib.Height == INT_MIN) return std::nullopt;
    if (!KnownDepth(dib.BitCount) || !DepthFitsCompression(dib.BitCount, dib.Compression)) return std::nullopt;
    if (dib.HeaderSize == 12 && dib.BitCount > 8 && dib.BitCount != 24) return std::nullopt;

    if (dib.HeaderSize == 40 && dib.Compression == kBitFields) dib.MaskSize = 12;
    if (colors == 0 && dib.BitCount <= 8) colors = std::uint64_t{1} << dib.BitCount;
    if (colors > 65536) return std::nullopt;
    dib.TableSize = std::uint32_t(colors * (dib.HeaderSize == 12 ? 3 : 4));

    const std::uint64_t rows = dib.Height < 0 ? std::uint64_t(-std::int64_t(dib.Height)) : std::uint64_t(dib.Height);
    const std::uint64_t stride = (std::uint64_t(dib.Width) * dib.BitCount + 31) / 32 * 4;
    std::uint64_t imageSize = statedImageSize;
    if (dib.Compression == kRle8 || dib.Compression == kRle4) {
        if (imageSize == 0 || dib.Height < 0) return std::nullopt;
    } else if (imageSize < stride * rows) {
        imageSize = stride * rows;
    }
    if (imageSize > UINT32_MAX) return std::nullopt;
    dib.ImageSize = std::uint32_t(imageSize);
    if (std::uint64_t(dib.InfoSize()) > infoBytes) return std::nullopt;
    return dib;
}
