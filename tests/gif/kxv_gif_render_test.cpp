#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "framework/canvas.h"
#include "gif/gif_compose.h"
#include "gif/gif_test_util.h"
#include "gif/gif_writer.h"
#include "test_support.h"

namespace {

constexpr std::uint32_t Red = 0xFF0000, Green = 0x00FF00, Blue = 0x0000FF, White = 0xFFFFFF;

// A 4x4 screen whose background (index 0) is red, and one 2x2 frame at (1, 1)
// with indices 0 1 / 2 0.
GifImage RedScreenWithFrame()
{
    GifImage image;
    image.width = 4;
    image.height = 4;
    image.globalRgb = Rgb({Red, Green, Blue, White});
    GifFrame frame;
    frame.left = 1;
    frame.top = 1;
    frame.width = 2;
    frame.height = 2;
    frame.pixels = {0, 1, 2, 0};
    frame.control = true;
    image.frames.push_back(frame);
    return image;
}

// A first frame covering the screen in white, then the frame over it.
GifImage WhiteThenFrame(int disposal, bool transparent)
{
    GifImage image = RedScreenWithFrame();
    GifFrame cover;
    cover.width = 4;
    cover.height = 4;
    cover.pixels = std::vector<std::uint8_t>(16, 3);
    image.frames.insert(image.frames.begin(), cover);
    image.frames[1].disposal = disposal;
    image.frames[1].transparent = transparent;
    return image;
}

TEST(GifRender, TransparentIndexShowsWhatLayUnderneath)
{
    GifImage image = RedScreenWithFrame();
    image.frames[0].transparent = true;
    image.frames[0].transparentIndex = 0;
    image.frames[0].pixels = {0, 1, 2, 3};
    auto bitmap = DecodeGif(EncodeGif(image));
    EXPECT_EQ(Px(*bitmap, 1, 1), Red);
    EXPECT_EQ(Px(*bitmap, 2, 1), Green);
    EXPECT_EQ(Px(*bitmap, 1, 2), Blue);
    EXPECT_EQ(Px(*bitmap, 2, 2), White);
    // Over a drawn frame rather than the fill, with a wider interlaced frame.
    GifImage over = WhiteThenFrame(0, true);
    over.frames[1].transparentIndex = 2;
    auto drawn = DecodeGif(EncodeGif(over));
    EXPECT_EQ(Px(*drawn, 1, 1), Red);
    EXPECT_EQ(Px(*drawn, 2, 1), Green);
    EXPECT_EQ(Px(*drawn, 1, 2), White) << "index 2 is transparent";
}

TEST(GifRender, TransparencySwitches)
{
    GifImage image = RedScreenWithFrame();
    image.frames[0].transparent = true;
    image.frames[0].transparentIndex = 1;
    {
        kxvGIF gif;
        gif.Transparent = false;
        EXPECT_EQ(Px(*DecodeGif(gif, EncodeGif(image)), 2, 1), Green) << "Transparent off: opaque";
    }
    {
        kxvGIF gif;
        gif.TransparentColor = MakeColor(0, 0, 0xFF);  // blue: index 2
        auto bitmap = DecodeGif(gif, EncodeGif(image));
        EXPECT_EQ(Px(*bitmap, 2, 1), Green);
        EXPECT_EQ(Px(*bitmap, 1, 2), Red) << "blue redirected the transparent index";
    }
    {
        kxvGIF gif;
        gif.TransparentColor = MakeColor(1, 2, 3);  // not in the palette
        auto bitmap = DecodeGif(gif, EncodeGif(image));
        EXPECT_EQ(Px(*bitmap, 2, 1), Green);
        EXPECT_EQ(Px(*bitmap, 1, 2), Blue);
    }
    {
        GifImage opaque = RedScreenWithFrame();
        kxvGIF gif;
        gif.TransparentColor = MakeColor(0, 0xFF, 0);  // green, but no transparency flag
        EXPECT_EQ(Px(*DecodeGif(gif, EncodeGif(opaque)), 2, 1), Green);
    }
}

TEST(GifRender, TransparentCompositingKeepsTheTopByteAsTheRasterOperationsLeaveIt)
{
    // The five operations end with black ORed into opaque positions and the
    // saved row (0 in its top byte) ORed into transparent ones.
    GifImage image = RedScreenWithFrame();
    image.frames[0].transparent = true;
    auto bitmap = DecodeGif(EncodeGif(image));
    EXPECT_EQ(bitmap->ScanLine(1)[1], Red);
    EXPECT_EQ(bitmap->ScanLine(1)[2], Green);
}

TEST(GifRender, DisposalToBackgroundAfterTheLastFrame)
{
    GifImage image = WhiteThenFrame(2, false);
    auto bitmap = DecodeGif(EncodeGif(image));
    EXPECT_EQ(Px(*bitmap, 0, 0), White);
    EXPECT_EQ(Px(*bitmap, 1, 1), Red);
    EXPECT_EQ(Px(*bitmap, 2, 2), Red);
    EXPECT_EQ(Px(*bitmap, 3, 3), White);
}

TEST(GifRender, DisposalToPreviousRestoresExactlyWhatWasUnderneath)
{
    GifImage image = WhiteThenFrame(3, true);
    // The first frame leaves a pattern under the second.
    image.frames[0].pixels = {3, 3, 3, 3, 3, 1, 2, 3, 3, 2, 1, 3, 3, 3, 3, 3};
    image.frames[1].pixels = {0, 0, 3, 3};
    image.frames[1].transparentIndex = 0;
    std::vector<kxRect> painted;
    std::vector<std::uint32_t> afterSecondDrawn;
    kxvGIF gif;
    TBitmap* target = nullptr;
    gif.OnPaint = [&](kxvGIF&, kxRect* rect) {
        painted.push_back(*rect);
        if (painted.size() == 2) afterSecondDrawn = Pixels(*target);
    };
    TBitmap bitmap;
    target = &bitmap;
    TMemoryStream stream(EncodeGif(image));
    gif.LoadFromStream(stream, bitmap);
    ASSERT_EQ(painted.size(), 2u);
    EXPECT_EQ(painted[1], kxRect(1, 1, 3, 3));
    EXPECT_EQ(afterSecondDrawn[1 * 4 + 1], Green) << "transparent pixel shows the first frame";
    EXPECT_EQ(afterSecondDrawn[2 * 4 + 1], White) << "drawn";
    EXPECT_EQ(Pixels(bitmap), ComposeFrames(4, 4, Red, {ComposeFrame{0, 0, 4, 4, image.frames[0].pixels,
                                                                      image.globalRgb, false, 0, 0}}));
}

TEST(GifRender, AnimateOffStopsAfterTheFirstGraphicButStillDisposesOfIt)
{
    GifImage image = WhiteThenFrame(0, false);
    image.frames[0].control = true;
    image.frames[0].disposal = 2;
    image.frames[0].delay = 500;  // five seconds, not waited for
    kxvGIF gif;
    gif.Animate = false;
    int paints = 0;
    gif.OnPaint = [&](kxvGIF&, kxRect*) { ++paints; };
    auto bitmap = DecodeGif(gif, EncodeGif(image));
    EXPECT_EQ(paints, 1);
    for (std::uint32_t p : Pixels(*bitmap)) EXPECT_EQ(p, Red);
}

TEST(GifRender, CopyModeAppliesToColourRows)
{
    GifImage image = WhiteThenFrame(0, false);
    kxvGIF gif;
    gif.CopyMode = cmSrcInvert;
    auto bitmap = DecodeGif(gif, EncodeGif(image));
    EXPECT_EQ(Px(*bitmap, 0, 0), White ^ Red) << "white XOR the red fill";
    EXPECT_EQ(Px(*bitmap, 2, 1), White ^ Red ^ Green);
}

TEST(GifRender, GraphicControlBlocksOfOddLengthsLeaveOtherStateAlone)
{
    GifImage image = RedScreenWithFrame();
    image.frames[0].control = false;
    Bytes b;
    b.data = GifHead(image);
    // A ten-byte graphic control block (transparent index 1), then a second
    // sub-block before the terminator.
    b.u8(0x21).u8(0xF9).u8(10).u8(0x01).u16(0).u8(1).fill(6, 0xEE).u8(2).u8(0xAB).u8(0xCD).u8(0);
    const auto frame = GifFrameBytes(image.frames[0], 4);
    b.data.insert(b.data.end(), frame.begin(), frame.end());
    b.u8(0x3B);
    auto bitmap = DecodeGif(b.data);
    EXPECT_EQ(Px(*bitmap, 2, 1), Red) << "index 1 transparent";
    EXPECT_EQ(Px(*bitmap, 1, 2), Blue);
    // A control extension with no data at all is only its terminator.
    Bytes empty;
    empty.data = GifHead(image);
    empty.u8(0x21).u8(0xF9).u8(0);
    empty.data.insert(empty.data.end(), frame.begin(), frame.end());
    empty.u8(0x3B);
    EXPECT_EQ(Px(*DecodeGif(empty.data), 2, 1), Green);
}

TEST(GifRender, CommentsArriveConcatenatedAndTerminated)
{
    GifImage image = RedScreenWithFrame();
    Bytes b;
    b.data = GifHead(image);
    b.u8(0x21).u8(0xFE).u8(2).str("ab").u8(2).str("cd").u8(0).u8(0x3B);
    kxvGIF gif;
    std::string seen;
    int calls = 0;
    gif.OnComment = [&](kxvGIF& sender, const char* text) {
        EXPECT_EQ(&sender, &gif);
        seen.assign(text, 5);
        ++calls;
    };
    DecodeGif(gif, b.data);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(seen, std::string("abcd\0", 5));
    EXPECT_NO_THROW(DecodeGif(b.data));
}

TEST(GifRender, ApplicationBlockHoldsTheIdentifierAndTheData)
{
    GifImage image = RedScreenWithFrame();
    Bytes b;
    b.data = GifHead(image);
    b.u8(0x21).u8(0xFF).u8(11).str("NETSCAPE2.0").u8(3).u8(1).u16(0).u8(2).str("xy").u8(0);
    const auto frame = GifFrameBytes(image.frames[0], 4);
    b.data.insert(b.data.end(), frame.begin(), frame.end());
    b.u8(0x3B);
    kxvGIF gif;
    std::string identifier;
    std::vector<std::uint8_t> data;
    gif.OnApplication = [&](kxvGIF&, const std::uint8_t* block, int length) {
        identifier.assign(reinterpret_cast<const char*>(block + 3), block[2]);
        const std::uint8_t* bytes = block + 3 + block[2];
        data.assign(bytes, bytes + length);
        EXPECT_EQ(bytes[length], 0);
    };
    auto bitmap = DecodeGif(gif, b.data);
    EXPECT_EQ(identifier, "NETSCAPE2.0");
    EXPECT_EQ(data, (std::vector<std::uint8_t>{1, 0, 0, 'x', 'y'}));
    EXPECT_EQ(Px(*bitmap, 2, 1), Green) << "the image after it still decodes";
    EXPECT_EQ(Px(*DecodeGif(b.data), 2, 1), Green) << "unassigned: read and dropped";
}

// Plain text: grid at (left, top), 24 pixels wide, 8x16 cells, foreground index 3
// (white), background index 2 (blue); text "AB D".
std::vector<std::uint8_t> PlainTextGif(int left, int top, const GifFrame* control = nullptr)
{
    GifImage image;
    image.width = 40;
    image.height = 40;
    image.globalRgb = Rgb({Red, Green, Blue, White});
    Bytes b;
    b.data = GifHead(image);
    if (control) {
        b.u8(0x21).u8(0xF9).u8(4)
            .u8(unsigned(control->disposal << 2 | (control->transparent ? 1 : 0)))
            .u16(0)
            .u8(unsigned(control->transparentIndex))
            .u8(0);
    }
    b.u8(0x21).u8(0x01).u8(12).u16(unsigned(left)).u16(unsigned(top)).u16(24).u16(32).u8(8).u8(16).u8(3).u8(2);
    b.u8(4).str("AB D").u8(0).u8(0x3B);
    return b.data;
}

bool BoxHas(TBitmap& bitmap, int x0, int y0, int w, int h, std::uint32_t color)
{
    for (int y = y0; y < y0 + h; ++y)
        for (int x = x0; x < x0 + w; ++x)
            if (Px(bitmap, x, y) == color) return true;
    return false;
}

TEST(GifRender, PlainTextCellsAdvanceAndWrapWithinTheGrid)
{
    kxvGIF gif;
    std::vector<kxRect> painted;
    gif.OnPaint = [&](kxvGIF&, kxRect* r) { painted.push_back(*r); };
    auto bitmap = DecodeGif(gif, PlainTextGif(4, 2));
    EXPECT_EQ(bitmap->Canvas().Font.Height, 8);
    ASSERT_EQ(painted.size(), 1u);
    EXPECT_EQ(painted[0], kxRect(4, 2, 28, 34));
    // A at x 0 and B at x 8 of the first row: their boxes are blue with white glyphs.
    EXPECT_TRUE(BoxHas(*bitmap, 4, 2, 6, 8, Blue));
    EXPECT_TRUE(BoxHas(*bitmap, 4, 2, 6, 8, White));
    EXPECT_TRUE(BoxHas(*bitmap, 12, 2, 6, 8, White));
    // The space's cell (x 16) is untouched; D wraps to x 0, y 16.
    EXPECT_FALSE(BoxHas(*bitmap, 20, 2, 8, 16, Blue));
    EXPECT_FALSE(BoxHas(*bitmap, 20, 2, 8, 16, White));
    EXPECT_TRUE(BoxHas(*bitmap, 4, 18, 6, 8, White));
    EXPECT_FALSE(BoxHas(*bitmap, 12, 18, 16, 16, White));
    EXPECT_EQ(Px(*bitmap, 39, 39), Red);
}

TEST(GifRender, PlainTextTransparencyAndSwitch)
{
    GifFrame control;
    control.transparent = true;
    control.transparentIndex = 2;  // the background index: no boxes
    auto clear = DecodeGif(PlainTextGif(0, 0, &control));
    EXPECT_FALSE(BoxHas(*clear, 0, 0, 24, 32, Blue));
    EXPECT_TRUE(BoxHas(*clear, 0, 0, 6, 8, White));
    control.transparentIndex = 3;  // the foreground index: boxes without glyphs
    auto boxes = DecodeGif(PlainTextGif(0, 0, &control));
    EXPECT_TRUE(BoxHas(*boxes, 0, 0, 6, 8, Blue));
    EXPECT_FALSE(BoxHas(*boxes, 0, 0, 24, 32, White));
    kxvGIF off;
    off.PlainText = false;
    int paints = 0;
    off.OnPaint = [&](kxvGIF&, kxRect*) { ++paints; };
    auto none = DecodeGif(off, PlainTextGif(0, 0));
    EXPECT_EQ(paints, 1) << "the graphic still ends with its notification";
    for (std::uint32_t p : Pixels(*none)) EXPECT_EQ(p, Red);
}

TEST(GifRender, PlainTextWithDisposalToPreviousLeavesNoTrace)
{
    GifFrame control;
    control.disposal = 3;
    auto bitmap = DecodeGif(PlainTextGif(3, 3, &control));
    for (std::uint32_t p : Pixels(*bitmap)) EXPECT_EQ(p, Red);
}

}  // namespace

namespace {

TEST(GifRender, TransparentInterlacedFrameLeavesNoBandCopiesBehind)
{
    // Row 0 is opaque green, the other rows wholly transparent: the first pass's
    // copies of row 0 must not show through them.
    GifImage image;
    image.width = 3;
    image.height = 9;
    image.globalRgb = Rgb({Red, Green});
    GifFrame frame;
    frame.width = 3;
    frame.height = 9;
    frame.pixels = std::vector<std::uint8_t>(27, 0);
    std::fill(frame.pixels.begin(), frame.pixels.begin() + 3, 1);
    frame.interlace = true;
    frame.control = true;
    frame.transparent = true;
    frame.transparentIndex = 0;
    image.frames.push_back(frame);
    auto bitmap = DecodeGif(EncodeGif(image));
    EXPECT_EQ(Px(*bitmap, 1, 0), Green);
    for (int y = 1; y < 9; ++y) EXPECT_EQ(Px(*bitmap, 1, y), Red) << "row " << y;
}

}  // namespace
