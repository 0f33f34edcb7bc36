// The shipped plug-in, loaded as the program loads it, on files the Windows
// Imaging Component's encoders made; and talvern-clip cropping through it.
#include <gtest/gtest.h>

#include <cstdlib>

#include "clip_runner.h"
#include "external/kxv_spi.h"
#include "framework/file_system.h"
#include "plugin_fixtures_win32.h"
#include "framework/bitmap.h"
#include "test_support.h"
#include "wic_image_writer_win32.h"

namespace {

struct Decoded {
    TBitmap bitmap;
    PaletteHandle palette;
    int depth = 0;
};

bool LoadThroughPlugin(const std::string& file, Decoded& out)
{
    kxvSPI spi(ShippedPlugin());
    if (!spi.Loaded) return false;
    spi.SetFileName(file);
    out.depth = spi.ColorDepth;
    return spi.Support && spi.GetPicture(&out.bitmap, out.palette);
}

// Largest and mean difference of any channel against the pattern.
std::pair<int, double> Compare(const TBitmap& bitmap, const std::vector<std::uint8_t>& pattern, int width)
{
    int worst = 0;
    double total = 0;
    for (int y = 0; y < bitmap.Height(); ++y) {
        for (int x = 0; x < bitmap.Width(); ++x) {
            const std::uint32_t pixel = bitmap.ScanLine(y)[x];
            const std::uint8_t* want = &pattern[(std::size_t(y) * width + x) * 4];
            for (int c = 0; c < 3; ++c) {
                const int d = std::abs(int(pixel >> (8 * c) & 0xFF) - int(want[c]));
                worst = std::max(worst, d);
                total += d;
            }
        }
    }
    return {worst, total / (3.0 * bitmap.Width() * bitmap.Height())};
}

TEST(WicPlugin, BindsWithItsFormats)
{
    kxvSPI spi(ShippedPlugin());
    ASSERT_TRUE(spi.Loaded);
    EXPECT_EQ(spi.PluginType, 'I' | 'N' << 8);
    EXPECT_NE(spi.Filter.find("PNG|*.png|JPEG|*.jpg;*.jpeg"), std::string::npos);
    EXPECT_NE(spi.Filter.find("TIFF|"), std::string::npos);
    EXPECT_NE(spi.Filter.find("ICO|*.ico"), std::string::npos);
}

TEST(WicPlugin, PngPixelsComeBackExactly)
{
    const std::string dir = ScratchDir("wic_png");
    const int width = 37, height = 23;
    const std::vector<std::uint8_t> pattern = TestPattern(width, height);
    for (bool alpha : {false, true}) {
        // Through the Unicode exports, which the host prefers.
        const std::string file = dir + (alpha ? "\\alpha.png" : "\\漢字Ω.png");
        ASSERT_TRUE(WriteWicImage(file, TWicContainer::Png, width, height, pattern, alpha));
        Decoded decoded;
        ASSERT_TRUE(LoadThroughPlugin(file, decoded)) << file;
        EXPECT_EQ(decoded.depth, alpha ? 32 : 24);
        ASSERT_EQ(decoded.bitmap.Width(), width);
        ASSERT_EQ(decoded.bitmap.Height(), height);
        EXPECT_EQ(decoded.bitmap.PixelFormat, alpha ? pf32bit : pf24bit);
        EXPECT_EQ(Compare(decoded.bitmap, pattern, width).first, 0) << file;
    }
}

TEST(WicPlugin, PaletteSourcesComeBackAt8BitsWithTheirTable)
{
    const std::string file = ScratchDir("wic_indexed") + "\\indexed.png";
    const int width = 5, height = 3;
    const std::vector<std::uint32_t> colors = {0xFF102030, 0xFFFF0000, 0xFF00FF00, 0xFF0000FF};
    std::vector<std::uint8_t> indices(width * height);
    for (std::size_t i = 0; i < indices.size(); ++i) indices[i] = std::uint8_t(i % 4);
    ASSERT_TRUE(WriteWicIndexedPng(file, width, height, indices, colors));
    Decoded decoded;
    ASSERT_TRUE(LoadThroughPlugin(file, decoded));
    EXPECT_EQ(decoded.bitmap.PixelFormat, pf8bit);
    ASSERT_TRUE(decoded.palette);
    ASSERT_GE(decoded.palette->palNumEntries, 4);
    EXPECT_EQ(decoded.palette->palPalEntry[1], (TPaletteEntry{0xFF, 0, 0, 0}));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            EXPECT_EQ(decoded.bitmap.ScanLine(y)[x] & 0xFFFFFF, colors[indices[y * width + x]] & 0xFFFFFF);
}

TEST(WicPlugin, JpegPixelsComeBackClose)
{
    const std::string dir = ScratchDir("wic_jpeg");
    const int width = 64, height = 48;
    const std::vector<std::uint8_t> pattern = TestPattern(width, height);
    const std::string file = dir + "\\picture.jpg";
    ASSERT_TRUE(WriteWicImage(file, TWicContainer::Jpeg, width, height, pattern, false));
    Decoded decoded;
    ASSERT_TRUE(LoadThroughPlugin(file, decoded));
    ASSERT_EQ(decoded.bitmap.Width(), width);
    const auto [worst, mean] = Compare(decoded.bitmap, pattern, width);
    EXPECT_LT(mean, 16.0);  // flipped, shifted or swapped pictures are far above this
    EXPECT_LT(worst, 96);
}

TEST(WicPlugin, RefusesWhatItCannotDecode)
{
    const std::string dir = ScratchDir("wic_refuse");
    WriteAll(dir + "\\broken.png", Bytes().str("\x89PNG\r\n\x1a\n").fill(40, 7).data);
    kxvSPI spi(ShippedPlugin());
    spi.SetFileName(dir + "\\broken.png");
    EXPECT_TRUE(spi.Support);
    TBitmap bitmap;
    PaletteHandle palette;
    EXPECT_FALSE(spi.GetPicture(&bitmap, palette));
    EXPECT_NE(spi.LastError, 0);
    WriteAll(dir + "\\text.png", Bytes().str("plain text").data);
    spi.SetFileName(dir + "\\text.png");
    EXPECT_FALSE(spi.Support);
}

// Under every name, talvern-clip hands the plug-in that very file: each has its
// own blue, and "x\y.png", which "x¥y.png" becomes in a best fit, is not cropped.
TEST(WicPlugin, TalvernClipCropsAPngThroughItUnderEveryName)
{
    const std::string dir = ScratchDir("wic_clip");
    const int width = 40, height = 30;
    std::vector<std::string> names = UnicodeNamesAs(".png");
    names.insert(names.begin(), "source.png");
    MakeDir(dir + "\\x");
    std::vector<std::vector<std::uint8_t>> patterns;
    std::string arguments = "--crop 10x5+3+2 --out " + dir + "\\out";
    std::vector<std::string> expected;
    for (std::size_t i = 0; i <= names.size(); ++i) {
        patterns.push_back(TestPattern(width, height));
        for (std::size_t p = 0; p < patterns[i].size(); p += 4) patterns[i][p] ^= std::uint8_t(16 * i);
        const std::string path = dir + "\\" + (i < names.size() ? names[i] : "x\\y.png");
        ASSERT_TRUE(WriteWicImage(path, TWicContainer::Png, width, height, patterns[i], false));
        if (i == names.size()) break;
        arguments += " " + path;
        expected.push_back("OK " + path + " -> " + dir + "\\out\\" + CropFileName(names[i]));
    }
    const Outcome r = Clip(dir, arguments);
    EXPECT_EQ(r.status, 0) << r.errors;
    ASSERT_EQ(r.lines, expected) << r.errors;
    for (std::size_t i = 0; i < names.size(); ++i) {
        SCOPED_TRACE(names[i]);
        TBitmap crop;
        crop.LoadFromFile(expected[i].substr(expected[i].rfind(" -> ") + 4));
        ASSERT_EQ(crop.Width(), 10);
        ASSERT_EQ(crop.Height(), 5);
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 10; ++x) {
                const std::uint8_t* want = &patterns[i][(std::size_t(y + 2) * width + x + 3) * 4];
                ASSERT_EQ(crop.ScanLine(y)[x] & 0xFFFFFF, std::uint32_t(want[2] << 16 | want[1] << 8 | want[0])) << x << "," << y;
            }
    }
    EXPECT_FALSE(FileExists(dir + "\\out\\y.bmp"));
}

}  // namespace
