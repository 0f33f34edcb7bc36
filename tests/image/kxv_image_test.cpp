#include <gtest/gtest.h>

#include "framework/bitmap.h"
#include "framework/screen.h"
#include "image/bmp_file.h"
#include "image/kxv_image.h"
#include "test_support.h"
#include "written_bmp.h"

namespace {

std::string FileIn(const std::string& dir, const std::string& name)
{
    return dir + PathSep() + name;
}

PaletteHandle Greys(int count)
{
    PaletteHandle palette = NewPalette(count);
    for (int i = 0; i < count; ++i) {
        TPaletteEntry& e = palette->palPalEntry[std::size_t(i)];
        e.peRed = e.peGreen = e.peBlue = std::uint8_t(i * 255 / (count - 1));
    }
    return palette;
}

// An image view showing a 2 x 2 red picture from a 4-bit source with 3 greys.
void Prepare(kxvImage& image)
{
    image.Picture().Bitmap().SetSize(2, 2);
    image.Picture().Bitmap().ScanLine(0)[0] = 0xFF0000;
    image.ColorDepth = 4;
    image.SetPalette(Greys(3));
}

void ExpectUnchanged(kxvImage& image)
{
    EXPECT_EQ(image.ColorDepth, 4);
    ASSERT_NE(image.Palette(), nullptr);
    EXPECT_EQ(image.Palette()->palNumEntries, 3);
    ASSERT_EQ(image.Picture().Width(), 2);
    EXPECT_EQ(image.Picture().Bitmap().ScanLine(0)[0], 0xFF0000u);
}

// A BMP header with an 8-bit table whose pixel data no decoder takes
// (compression 99).
Bytes UndecodableBitmap()
{
    Bytes b;
    b.u8('B').u8('M').u32(0).u32(0).u32(54 + 8);
    b.u32(40).u32(1).u32(1).u16(1).u16(8).u32(99).u32(0).u32(0).u32(0).u32(2).u32(0);
    b.u32(0x00102030).u32(0x00405060).fill(4);
    return b;
}

}  // namespace

TEST(KxvImage, StartsWithoutSourceDescription)
{
    kxvImage image;
    EXPECT_EQ(image.ColorDepth, 0);
    EXPECT_EQ(image.Palette(), nullptr);
    EXPECT_EQ(image.Picture().Width(), 0);
}

TEST(KxvImage, PaletteOwnership)
{
    kxvImage image;
    PaletteHandle mine = Greys(4);
    image.CopyPalette(mine.get());
    ASSERT_NE(image.Palette(), nullptr);
    EXPECT_NE(image.Palette(), mine.get());
    EXPECT_EQ(image.Palette()->palNumEntries, 4);
    mine->palPalEntry[1].peRed = 7;
    EXPECT_EQ(image.Palette()->palPalEntry[1].peRed, 85);

    image.CopyPalette(image.Palette());
    ASSERT_NE(image.Palette(), nullptr);
    EXPECT_EQ(image.Palette()->palPalEntry[3].peBlue, 255);

    image.CopyPalette(nullptr);
    EXPECT_EQ(image.Palette(), nullptr);
    image.SetPalette(std::move(mine));
    EXPECT_EQ(image.Palette()->palPalEntry[1].peRed, 7);
    image.SetPalette(nullptr);
    EXPECT_EQ(image.Palette(), nullptr);
}

TEST(KxvImage, LoadFromFileRejectsEmptyAndMissingNamesKeepingEverything)
{
    const std::string dir = ScratchDir("kxv_image_missing");
    kxvImage image;
    Prepare(image);
    Screen().SetCursor(crArrow);
    EXPECT_FALSE(image.LoadFromFile(""));
    ExpectUnchanged(image);
    EXPECT_FALSE(image.LoadFromFile(FileIn(dir, "missing.bmp")));
    ExpectUnchanged(image);
    EXPECT_FALSE(image.LoadFromFile(dir));  // a directory is no file
    ExpectUnchanged(image);
    EXPECT_EQ(Screen().Cursor(), crArrow);
    Screen().SetCursor(crDefault);
}

TEST(KxvImage, FailedPictureLoadKeepsThePictureButDescribesTheFile)
{
    const std::string dir = ScratchDir("kxv_image_undecodable");
    WriteAll(FileIn(dir, "bad.bmp"), UndecodableBitmap().data);
    kxvImage image;
    Prepare(image);
    EXPECT_FALSE(image.LoadFromFile(FileIn(dir, "bad.bmp")));
    EXPECT_EQ(image.ColorDepth, 8);
    ASSERT_NE(image.Palette(), nullptr);
    ASSERT_EQ(image.Palette()->palNumEntries, 2);
    EXPECT_EQ(image.Palette()->palPalEntry[1].peRed, 0x40);
    ASSERT_EQ(image.Picture().Width(), 2);
    EXPECT_EQ(image.Picture().Bitmap().ScanLine(0)[0], 0xFF0000u);

    // An extension the picture does not know, over BMP content: the same.
    WriteAll(FileIn(dir, "bad.xyz"), UndecodableBitmap().data);
    Prepare(image);
    EXPECT_FALSE(image.LoadBitmapFile(FileIn(dir, "bad.xyz")));
    EXPECT_EQ(image.ColorDepth, 8);
    EXPECT_EQ(image.Picture().Width(), 2);

    // A file that is not a BMP file: depth unknown, palette released.
    WriteAll(FileIn(dir, "text.bmp"), Bytes().str("hello, world").data);
    Prepare(image);
    EXPECT_FALSE(image.LoadBitmapFile(FileIn(dir, "text.bmp")));
    EXPECT_EQ(image.ColorDepth, 0);
    EXPECT_EQ(image.Palette(), nullptr);
    EXPECT_EQ(image.Picture().Width(), 2);
}

// 20000 x 20000 pixels need 1.5 GiB: more than a 32-bit process can ever
// hold. A run-length file that small is still a clean load failure everywhere.
TEST(KxvImage, PictureTooLargeForTheAddressSpaceFailsCleanly)
{
    const std::string dir = ScratchDir("kxv_image_huge");
    Bytes b;
    b.u8('B').u8('M').u32(0).u32(0).u32(54 + 8);
    b.u32(40).u32(20000).u32(20000).u16(1).u16(8).u32(1).u32(0).u32(0).u32(0).u32(2).u32(0);
    b.u32(0).u32(0x00FFFFFF);
    b.u8(2).u8(1).u8(0).u8(1);  // two pixels of colour 1, end of bitmap
    WriteAll(FileIn(dir, "huge.bmp"), b.data);
    kxvImage image;
    Prepare(image);
    EXPECT_FALSE(image.LoadFromFile(FileIn(dir, "huge.bmp")));
    ASSERT_EQ(image.Picture().Width(), 2);
    EXPECT_EQ(image.Picture().Bitmap().ScanLine(0)[0], 0xFF0000u);
}

TEST(KxvImage, UnopenableFileLeavesDepthZeroAndThePalette)
{
    const std::string dir = ScratchDir("kxv_image_unopenable");
    kxvImage image;
    Prepare(image);
    EXPECT_FALSE(image.LoadBitmapFile(FileIn(dir, "missing.bmp")));
    EXPECT_EQ(image.ColorDepth, 0);
    ASSERT_NE(image.Palette(), nullptr);
    EXPECT_EQ(image.Palette()->palNumEntries, 3);
}

TEST(KxvImage, SaveToFileWritesAtTheSourceDepthAndPalette)
{
    const std::string dir = ScratchDir("kxv_image_save");
    kxvImage image;
    Prepare(image);
    ASSERT_TRUE(image.SaveToFile(FileIn(dir, "out.bmp")));
    const TWrittenBmp bmp(FileIn(dir, "out.bmp"));
    EXPECT_EQ(bmp.Depth(), 4);
    EXPECT_EQ(bmp.Table(), (std::vector<std::uint32_t>{0x000000, 0x7F7F7F, 0xFFFFFF}));
    EXPECT_EQ(bmp.ColorsUsed(), 3u);
    EXPECT_EQ(bmp.Index(0, 0), 1u);  // red is nearest to the middle grey
    EXPECT_EQ(bmp.Index(1, 1), 0u);

    kxvImage empty;
    EXPECT_FALSE(empty.SaveToFile(FileIn(dir, "empty.bmp")));
}

namespace {

// A 13 x 5 picture of `colors` distinct colours.
void FillPattern(TBitmap& bitmap, int colors)
{
    bitmap.SetSize(13, 5);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 13; ++x) bitmap.ScanLine(y)[x] = std::uint32_t((x + 3 * y) % colors) * 0x2F1D0Bu & 0xFFFFFF;
}

void ExpectSamePixels(const TBitmap& a, const TBitmap& b)
{
    ASSERT_EQ(a.Width(), b.Width());
    ASSERT_EQ(a.Height(), b.Height());
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x)
            ASSERT_EQ(a.ScanLine(y)[x] & 0xFFFFFF, b.ScanLine(y)[x] & 0xFFFFFF) << x << "," << y;
}

}  // namespace

class KxvImageRoundTrip : public ::testing::TestWithParam<int> {};

// What the writer makes, the picture loads, with the depth and colour table of
// the file; saving it again gives the same file.
TEST_P(KxvImageRoundTrip, LoadsWhatWasWrittenAndSavesItAgain)
{
    const int depth = GetParam();
    const std::string dir = ScratchDir("kxv_image_round_trip_" + std::to_string(depth));
    TBitmap source;
    FillPattern(source, depth <= 8 ? std::min(1 << depth, 11) : 65);
    ASSERT_TRUE(SaveBitmapFile(FileIn(dir, "a.bmp"), source, depth, nullptr));

    kxvImage image;
    ASSERT_TRUE(image.LoadFromFile(FileIn(dir, "a.bmp")));
    EXPECT_EQ(image.ColorDepth, depth);
    ExpectSamePixels(image.Picture().Bitmap(), source);
    const TWrittenBmp written(FileIn(dir, "a.bmp"));
    if (depth <= 8) {
        ASSERT_NE(image.Palette(), nullptr);
        const std::vector<std::uint32_t> table = written.Table();
        ASSERT_EQ(image.Palette()->palNumEntries, table.size());
        for (std::size_t i = 0; i < table.size(); ++i) {
            const TPaletteEntry& e = image.Palette()->palPalEntry[i];
            EXPECT_EQ(std::uint32_t(e.peRed) << 16 | std::uint32_t(e.peGreen) << 8 | e.peBlue, table[i]);
        }
    } else {
        EXPECT_EQ(image.Palette(), nullptr);
    }
    ASSERT_TRUE(image.SaveToFile(FileIn(dir, "b.bmp")));
    EXPECT_EQ(ReadAll(FileIn(dir, "b.bmp")), written.Bytes);
}

INSTANTIATE_TEST_SUITE_P(Depths, KxvImageRoundTrip, ::testing::Values(1, 2, 4, 8, 24, 32));

TEST(KxvImage, EightBitSourceKeepsItsPaletteOrderThroughACrop)
{
    const std::string dir = ScratchDir("kxv_image_crop");
    // A source whose table lists colours in an order of its own, with an unused entry.
    PaletteHandle palette = NewPalette(4);
    const std::uint32_t order[4] = {0x00FF00, 0x123456, 0xFF0000, 0x0000FF};
    for (int i = 0; i < 4; ++i) {
        palette->palPalEntry[std::size_t(i)].peRed = std::uint8_t(order[i] >> 16);
        palette->palPalEntry[std::size_t(i)].peGreen = std::uint8_t(order[i] >> 8);
        palette->palPalEntry[std::size_t(i)].peBlue = std::uint8_t(order[i]);
    }
    TBitmap source;
    source.SetSize(4, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) source.ScanLine(y)[x] = (x + y) % 2 ? 0xFF0000 : 0x0000FF;
    ASSERT_TRUE(SaveBitmapFile(FileIn(dir, "src.bmp"), source, 8, palette.get()));

    kxvImage image;
    ASSERT_TRUE(image.LoadFromFile(FileIn(dir, "src.bmp")));
    TBitmap crop;
    crop.SetSize(2, 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x) crop.ScanLine(y)[x] = image.Picture().Bitmap().ScanLine(y + 1)[x + 1];
    ASSERT_TRUE(SaveBitmapFile(FileIn(dir, "crop.bmp"), crop, image.ColorDepth, image.Palette()));
    const TWrittenBmp written(FileIn(dir, "crop.bmp"));
    EXPECT_EQ(written.Depth(), 8);
    EXPECT_EQ(written.Table(), std::vector<std::uint32_t>(order, order + 4));
    EXPECT_EQ(written.Index(0, 0), 3u);  // blue
    EXPECT_EQ(written.Index(1, 0), 2u);  // red
}

TEST(KxvImage, Os2BitmapLoadsWithItsDepthAndAFailedLoadKeepsIt)
{
    const std::string dir = ScratchDir("kxv_image_os2");
    Bytes b;
    b.u8('B').u8('M').u32(0).u32(0).u32(26 + 6);
    b.u32(12).u16(2).u16(1).u16(1).u16(1);
    b.u8(0x00).u8(0x00).u8(0xFF).u8(0xFF).u8(0xFF).u8(0xFF);  // red, white
    b.u8(0x40).fill(3);  // white, red
    WriteAll(FileIn(dir, "os2.bmp"), b.data);
    kxvImage image;
    ASSERT_TRUE(image.LoadFromFile(FileIn(dir, "os2.bmp")));
    EXPECT_EQ(image.ColorDepth, 1);
    ASSERT_NE(image.Palette(), nullptr);
    EXPECT_EQ(image.Palette()->palNumEntries, 2);
    EXPECT_EQ(image.Picture().Bitmap().ScanLine(0)[0] & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(image.Picture().Bitmap().ScanLine(0)[1] & 0xFFFFFF, 0xFFFFFFu);

    EXPECT_FALSE(image.LoadFromFile(FileIn(dir, "missing.bmp")));
    EXPECT_EQ(image.ColorDepth, 1);
    EXPECT_EQ(image.Picture().Width(), 2);
}
