// Writes a few small valid BMP files, one of each header form, depth and
// compression, into the folder named on the command line: the fuzzer's seeds.
// Built with SEEDS_PACKED_DIB, it writes them without their file header: the
// packed DIBs that outside decoders hand over.
#include <cstdint>
#include <string>
#include <vector>

#include "framework/bitmap.h"
#include "framework/bmp_builder.h"
#include "framework/streams.h"
#include "fuzz/seed_folder.h"

namespace {

using ByteVector = std::vector<std::uint8_t>;

std::vector<std::uint32_t> GreyTable(int count)
{
    std::vector<std::uint32_t> table;
    for (int i = 0; i < count; ++i) table.push_back(std::uint32_t(i * 255 / (count - 1)) * 0x010101u);
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
    std::vector<TSeed> seeds = {
        {"saved_1bit", Saved(pf1bit)},
        {"saved_4bit", Saved(pf4bit)},
        {"saved_8bit", Saved(pf8bit)},
        {"saved_16bit", Saved(pf15bit)},
        {"saved_565", Saved(pf16bit)},
        {"saved_24bit", Saved(pf24bit)},
        {"saved_32bit", Saved(pf32bit)},
        {"core_4bit", MakeBmp({.headerSize = 12, .width = 3, .height = 2, .bitCount = 4, .colors = GreyTable(16),
                               .pixels = {0x12, 0x30, 0, 0, 0x45, 0x60, 0, 0}})},
        {"os2v2_8bit", MakeBmp({.headerSize = 64, .width = 2, .height = 2, .bitCount = 8, .colors = GreyTable(256),
                                .pixels = {1, 2, 0, 0, 3, 4, 0, 0}})},
        {"v3_2bit_top_down", MakeBmp({.width = 5, .height = -2, .bitCount = 2, .colors = GreyTable(4),
                                      .pixels = {0x1B, 0xC0, 0, 0, 0xE4, 0x40, 0, 0}})},
        {"bitfields_565", MakeBmp({.width = 2, .bitCount = 16, .compression = 3, .masks = {0xF800, 0x07E0, 0x001F},
                                   .pixels = {0x00, 0xF8, 0xE0, 0x07}})},
        // Masks inside the header.
        {"v5_bitfields_32", MakeBmp({.headerSize = 124, .bitCount = 32, .compression = 3,
                                     .masks = {0x0000FF00, 0x00FF0000, 0xFF000000}, .pixels = {0x11, 0x22, 0x33, 0x44}})},
        {"rle8", MakeBmp({.width = 6, .height = 3, .bitCount = 8, .compression = 1, .colors = GreyTable(4),
                          .pixels = {3, 1, 0, 3, 2, 3, 1, 0, 0, 0, 0, 2, 2, 1, 2, 2, 0, 1}})},
        {"rle4", MakeBmp({.width = 8, .height = 2, .bitCount = 4, .compression = 2, .colors = GreyTable(16),
                          .pixels = {3, 0x12, 0, 5, 0x32, 0x10, 0x30, 0, 0, 0, 8, 0xF0, 0, 1}})},
    };
    for (auto& [name, bytes] : seeds) {
#ifdef SEEDS_PACKED_DIB
        bytes.erase(bytes.begin(), bytes.begin() + 14);
        name += ".dib";
#else
        name += ".bmp";
#endif
    }
    return WriteSeeds(argc, argv, seeds);
}
