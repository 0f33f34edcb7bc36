// The clipper's image: GIF files by content to the GIF decoder, the rest to the
// image component.
#include <gtest/gtest.h>

#include "cli/clip_image.h"
#include "framework/bitmap.h"
#include "gif/gif_writer.h"
#include "test_support.h"

namespace {

// 6x4, 16 colours, an animation of two frames whose second covers the left half.
std::vector<std::uint8_t> TwoFrameGif()
{
    GifImage image;
    image.width = 6;
    image.height = 4;
    for (int i = 0; i < 16; ++i) image.globalRgb.insert(image.globalRgb.end(), {std::uint8_t(i * 16), 0, std::uint8_t(255 - i)});
    GifFrame first;
    first.width = 6;
    first.height = 4;
    first.pixels.assign(24, 5);
    first.control = true;
    first.delay = 300;  // three seconds that a clipper must not wait
    GifFrame second = first;
    second.width = 3;
    second.pixels.assign(12, 9);
    image.frames = {first, second};
    return EncodeGif(image);
}

TEST(ClipImage, GifFilesAreDecodedByContentWithDepthAndPalette)
{
    const std::string dir = ScratchDir("clip_image_gif");
    const std::string path = dir + PathSep() + "named.bmp";  // the content decides
    WriteAll(path, TwoFrameGif());
    TClipImage image;
    ASSERT_TRUE(image.LoadFromFile(path));
    TBitmap& bitmap = image.Picture().Bitmap();
    ASSERT_EQ(bitmap.Width(), 6);
    EXPECT_EQ(bitmap.ScanLine(0)[0] & 0xFFFFFF, std::uint32_t(9 * 16) << 16 | (255 - 9));
    EXPECT_EQ(bitmap.ScanLine(3)[5] & 0xFFFFFF, std::uint32_t(5 * 16) << 16 | (255 - 5));
    EXPECT_EQ(image.ColorDepth, 4);
    ASSERT_NE(image.Palette(), nullptr);
    EXPECT_EQ(image.Palette()->palNumEntries, 16);
    EXPECT_EQ(image.Palette()->palPalEntry[2].peRed, 32);
}

TEST(ClipImage, BrokenGifFailsAndKeepsThePreviousPicture)
{
    const std::string dir = ScratchDir("clip_image_broken");
    const std::string good = dir + PathSep() + "good.gif", bad = dir + PathSep() + "bad.gif";
    WriteAll(good, TwoFrameGif());
    auto bytes = TwoFrameGif();
    bytes.resize(bytes.size() - 8);
    WriteAll(bad, bytes);
    TClipImage image;
    ASSERT_TRUE(image.LoadFromFile(good));
    EXPECT_FALSE(image.LoadFromFile(bad));
    EXPECT_EQ(image.Picture().Bitmap().Width(), 6);
    EXPECT_EQ(image.FailureReason(), "GIFイメージが不正です");
    EXPECT_FALSE(image.LoadFromFile(dir + PathSep() + "missing.gif"));
    EXPECT_EQ(image.FailureReason(), "not found");
}

TEST(ClipImage, OtherFilesGoToTheImageComponent)
{
    const std::string dir = ScratchDir("clip_image_bmp");
    const std::string path = dir + PathSep() + "a.bmp";
    TBitmap source;
    source.SetSize(3, 2);
    source.PixelFormat = pf24bit;
    source.SaveToFile(path);
    TClipImage image;
    ASSERT_TRUE(image.LoadFromFile(path));
    EXPECT_EQ(image.Picture().Bitmap().Width(), 3);
}

}  // namespace
