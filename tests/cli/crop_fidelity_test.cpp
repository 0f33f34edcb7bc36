// Crops keep what their source holds: every header form and depth the BMP
// builder writes, cut through the clip job as the clipper runs it, comes out with
// the decoded picture's pixels, and at 8 bits or less with the source's table.
#include <gtest/gtest.h>

#include <random>

#include "app/clip_job.h"
#include "cli/clip_image.h"
#include "cli/console_clip_host.h"
#include "framework/bmp_decoder.h"
#include "framework/file_system.h"
#include "framework/bmp_builder.h"
#include "framework/streams.h"
#include "image/written_bmp.h"
#include "test_support.h"

namespace {

constexpr int kWidth = 7;  // odd, so that every depth pads its rows
constexpr int kHeight = 5;

struct SourceForm {
    std::uint32_t headerSize;
    unsigned bits;
    std::vector<std::uint32_t> masks;  // 16 and 32 bits: written with BI_BITFIELDS
    std::uint32_t colorsUsed = 0;
};

std::string Describe(const SourceForm& form)
{
    std::string text = "header " + std::to_string(form.headerSize) + ", " + std::to_string(form.bits) + " bits";
    for (std::uint32_t m : form.masks) text += " " + std::to_string(m);
    if (form.colorsUsed) text += ", " + std::to_string(form.colorsUsed) + " colours";
    return text;
}

std::vector<std::uint8_t> MakeSource(const SourceForm& form, std::mt19937& random)
{
    BmpLayout layout;
    layout.headerSize = form.headerSize;
    layout.width = kWidth;
    layout.height = kHeight;
    layout.bitCount = form.bits;
    layout.masks = form.masks;
    layout.compression = form.masks.empty() ? 0 : 3;
    layout.colorsUsed = form.colorsUsed;
    const std::uint32_t entries = form.bits > 8 ? 0 : form.colorsUsed ? form.colorsUsed : 1u << form.bits;
    for (std::uint32_t i = 0; i < entries; ++i) layout.colors.push_back(random() & 0xFFFFFF);
    const std::size_t row = BmpRowBytes(kWidth, int(form.bits));
    layout.pixels.resize(row * kHeight);
    for (std::size_t y = 0; y < kHeight; ++y)
        for (std::size_t x = 0; x < row; ++x) {
            std::uint8_t byte = std::uint8_t(random());
            // Indices stay inside a short table.
            if (form.bits == 8 && entries < 256) byte = std::uint8_t(byte % entries);
            layout.pixels[y * row + x] = byte;
        }
    return MakeBmp(layout);
}

std::vector<SourceForm> EveryForm()
{
    std::vector<SourceForm> forms;
    const std::vector<std::vector<std::uint32_t>> sixteenBitMasks = {
        {0xF800, 0x07E0, 0x001F},  // 5-6-5
        {0x0F00, 0x00F0, 0x000F},  // 4-4-4 of 4-4-4-4
        {0xE000, 0x1FF8, 0x0007},  // 3-10-3
        {0x0030, 0x000E, 0x0001},  // 2-3-1
        {0x7FC0, 0x0030, 0x000F},  // 9-2-4
    };
    for (std::uint32_t header : {12u, 16u, 40u, 52u, 56u, 64u, 108u, 124u}) {
        const bool os2 = header == 12 || header == 16 || header == 64;
        for (unsigned bits : {1u, 2u, 4u, 8u, 16u, 24u, 32u}) forms.push_back({header, bits, {}});
        if (header != 12) forms.push_back({header, 8, {}, 20});
        if (os2) continue;
        for (const auto& masks : sixteenBitMasks) forms.push_back({header, 16, masks});
        forms.push_back({header, 32, {0x3FF00000, 0x000FFC00, 0x000003FF}});
    }
    return forms;
}

TDecodedBmp Decode(const std::vector<std::uint8_t>& bytes)
{
    TMemoryStream stream;
    stream.WriteBuffer(bytes.data(), std::int64_t(bytes.size()));
    stream.SetPosition(0);
    return DecodeBmpFile(stream);
}

std::uint32_t Pixel(const TDecodedBmp& picture, int x, int y)
{
    return picture.Pixels->Bits()[std::size_t(y) * std::size_t(picture.Width) + std::size_t(x)] & 0xFFFFFF;
}

}  // namespace

TEST(CropFidelity, EveryHeaderFormAndDepthKeepsItsPixelsAndTable)
{
    const std::string dir = ScratchDir("crop_fidelity");
    std::mt19937 random(1977);
    TClipImage loader;
    const std::string out = dir + PathSep() + "out";
    ASSERT_TRUE(CreateDir(out));
    TConsoleClipHost host({}, out);
    TClipJob job(host, loader);
    // One rectangle inside the picture, one across its top-left corner.
    const kxRect rects[] = {{1, 1, 6, 4}, {-2, -1, 4, 3}};
    int n = 0;
    for (const SourceForm& form : EveryForm()) {
        SCOPED_TRACE(Describe(form));
        const std::string path = dir + PathSep() + "source" + std::to_string(n++) + ".bmp";
        const std::vector<std::uint8_t> bytes = MakeSource(form, random);
        WriteAll(path, bytes);
        const TDecodedBmp source = Decode(bytes);
        for (const kxRect& rect : rects) {
            job.ClipRect = rect;
            const TConsoleClipHost::Entry entry = host.Clip(job, path);
            ASSERT_EQ(entry.Result, "OK") << entry.Reason;
            const std::vector<std::uint8_t> written = ReadAll(entry.Output);
            const TDecodedBmp crop = Decode(written);
            ASSERT_EQ(crop.Width, rect.Width());
            ASSERT_EQ(crop.Height, rect.Height());
            EXPECT_EQ(TWrittenBmp(entry.Output).Depth(), int(form.bits));
            for (int y = std::max(rect.Top, 0); y < rect.Bottom; ++y)
                for (int x = std::max(rect.Left, 0); x < rect.Right; ++x)
                    ASSERT_EQ(Pixel(crop, x - rect.Left, y - rect.Top), Pixel(source, x, y)) << x << "," << y;
            if (form.bits <= 8) {
                ASSERT_NE(source.Palette, nullptr);
                std::vector<std::uint32_t> table;
                for (int i = 0; i < source.Palette->palNumEntries; ++i) {
                    const TPaletteEntry& e = source.Palette->palPalEntry[std::size_t(i)];
                    table.push_back(std::uint32_t(e.peRed) << 16 | std::uint32_t(e.peGreen) << 8 | e.peBlue);
                }
                EXPECT_EQ(TWrittenBmp(entry.Output).Table(), table);
            }
        }
    }
}
