// Writes a few small valid BMP files, one of each header form, depth and
// compression, into the folder named on the command line: the fuzzer's seeds.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "framework/bitmap.h"
#include "framework/streams.h"

namespace {

using ByteVector = std::vector<std::uint8_t>;

void Put(ByteVector& out, std::uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

// File header, info header (40 bytes or larger, or the 12-byte core form), extra
// bytes (masks, colour table) and pixels.
ByteVector MakeFile(std::uint32_t headerSize, std::int32_t width, std::int32_t height, unsigned bits,
                    std::uint32_t compression, const ByteVector& extra, const ByteVector& pixels)
{
    ByteVector info;
    Put(info, headerSize, 4);
    if (headerSize == 12) {
        Put(info, std::uint32_t(width), 2);
        Put(info, std::uint32_t(height), 2);
        Put(info, 1, 2);
        Put(info, bits, 2);
    } else {
        Put(info, std::uint32_t(width), 4);
        Put(info, std::uint32_t(height), 4);
        Put(info, 1, 2);
        Put(info, bits, 2);
        Put(info, compression, 4);
        Put(info, std::uint32_t(pixels.size()), 4);
        info.resize(headerSize, 0);
    }
    ByteVector file;
    const std::uint32_t offset = 14 + std::uint32_t(info.size() + extra.size());
    Put(file, 0x4D42, 2);
    Put(file, offset + std::uint32_t(pixels.size()), 4);
    Put(file, 0, 4);
    Put(file, offset, 4);
    file.insert(file.end(), info.begin(), info.end());
    file.insert(file.end(), extra.begin(), extra.end());
    file.insert(file.end(), pixels.begin(), pixels.end());
    return file;
}

ByteVector GreyTable(int count, int entrySize)
{
    ByteVector table;
    for (int i = 0; i < count; ++i) {
        const auto v = static_cast<std::uint8_t>(i * 255 / (count - 1));
        table.insert(table.end(), {v, v, v});
        if (entrySize == 4) table.push_back(0);
    }
    return table;
}

ByteVector Saved(TPixelFormat format)
{
    TBitmap bitmap;
    bitmap.SetSize(5, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) bitmap.ScanLine(y)[x] = std::uint32_t(x * 0x3F0000 + y * 0x7F00 + (x ^ y) * 0x33);
    bitmap.PixelFormat = format;
    TMemoryStream stream;
    bitmap.SaveToStream(stream);
    return stream.Bytes();
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s CORPUS-FOLDER\n", argv[0]);
        return 2;
    }
    const std::string folder = argv[1];
    std::vector<std::pair<std::string, ByteVector>> seeds = {
        {"saved_1bit", Saved(pf1bit)},
        {"saved_4bit", Saved(pf4bit)},
        {"saved_8bit", Saved(pf8bit)},
        {"saved_16bit", Saved(pf15bit)},
        {"saved_24bit", Saved(pf24bit)},
        {"saved_32bit", Saved(pf32bit)},
        {"core_4bit", MakeFile(12, 3, 2, 4, 0, GreyTable(16, 3), {0x12, 0x30, 0, 0, 0x45, 0x60, 0, 0})},
        {"os2v2_8bit", MakeFile(64, 2, 2, 8, 0, GreyTable(256, 4), {1, 2, 0, 0, 3, 4, 0, 0})},
        {"v3_2bit_top_down", MakeFile(40, 5, -2, 2, 0, GreyTable(4, 4), {0x1B, 0xC0, 0, 0, 0xE4, 0x40, 0, 0})},
        {"bitfields_565", MakeFile(40, 2, 1, 16, 3, {0, 0xF8, 0, 0, 0xE0, 0x07, 0, 0, 0x1F, 0, 0, 0},
                                   {0x00, 0xF8, 0xE0, 0x07})},
        {"v5_bitfields_32", [] {
             ByteVector file = MakeFile(124, 1, 1, 32, 3, {}, {0x11, 0x22, 0x33, 0x44});
             // Masks inside the header, at its offsets 40, 44 and 48.
             const std::uint32_t masks[3] = {0x0000FF00, 0x00FF0000, 0xFF000000};
             for (int i = 0; i < 3; ++i)
                 for (int b = 0; b < 4; ++b) file[14 + 40 + 4 * i + b] = std::uint8_t(masks[i] >> (8 * b));
             return file;
         }()},
        {"rle8", MakeFile(40, 6, 3, 8, 1, GreyTable(4, 4),
                          {3, 1, 0, 3, 2, 3, 1, 0, 0, 0, 0, 2, 2, 1, 2, 2, 0, 1})},
        {"rle4", MakeFile(40, 8, 2, 4, 2, GreyTable(16, 4),
                          {3, 0x12, 0, 5, 0x32, 0x10, 0x30, 0, 0, 0, 8, 0xF0, 0, 1})},
    };
    for (const auto& [name, bytes] : seeds) {
        const std::string path = folder + "/" + name + ".bmp";
        std::FILE* f = std::fopen(path.c_str(), "wb");
        if (!f || std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size() || std::fclose(f) != 0) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
