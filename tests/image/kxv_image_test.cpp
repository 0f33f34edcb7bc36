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
