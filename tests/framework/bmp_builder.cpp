#include "bmp_builder.h"

namespace {

void Put(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i) out.push_back(std::uint8_t(value >> (8 * i)));
}

}  // namespace

std::vector<std::uint8_t> BmpInfoBlock(const BmpLayout& s)
{
    std::vector<std::uint8_t> info;
    Put(info, s.headerSize, 4);
    if (s.headerSize == 12) {
        Put(info, std::uint32_t(s.width), 2);
        Put(info, std::uint32_t(s.height), 2);
        Put(info, s.planes, 2);
        Put(info, s.bitCount, 2);
    } else {
        Put(info, std::uint32_t(s.width), 4);
        Put(info, std::uint32_t(s.height), 4);
        Put(info, s.planes, 2);
        Put(info, s.bitCount, 2);
        Put(info, s.compression, 4);
        Put(info, std::uint32_t(s.pixels.size()), 4);
        Put(info, s.resolution, 4);
        Put(info, s.resolution, 4);
        Put(info, s.colorsUsed, 4);
        Put(info, 0, 4);
        if (s.headerSize >= 52)
            for (std::size_t i = 0; i < 4; ++i) Put(info, i < s.masks.size() ? s.masks[i] : 0, 4);
        info.resize(s.headerSize, 0);
    }
    if (s.headerSize == 40)
        for (std::uint32_t m : s.masks) Put(info, m, 4);
    for (std::uint32_t c : s.colors) Put(info, c, s.headerSize == 12 ? 3 : 4);
    return info;
}

std::vector<std::uint8_t> MakeBmp(const BmpLayout& s)
{
    const std::vector<std::uint8_t> info = BmpInfoBlock(s);
    const std::uint32_t dataStart = std::uint32_t(14 + info.size() + s.gap);
    std::vector<std::uint8_t> file;
    Put(file, 0x4D42, 2);  // "BM"
    Put(file, dataStart + std::uint32_t(s.pixels.size()), 4);
    Put(file, 0, 4);
    Put(file, s.pixelOffset.value_or(dataStart), 4);
    file.insert(file.end(), info.begin(), info.end());
    file.insert(file.end(), s.gap, 0xEE);
    file.insert(file.end(), s.pixels.begin(), s.pixels.end());
    return file;
}

std::size_t BmpRowBytes(int width, int bits)
{
    return (std::size_t(width) * std::size_t(bits) + 31) / 32 * 4;
}
