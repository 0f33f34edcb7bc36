#include <gtest/gtest.h>

#include "framework/bitmap.h"
#include "framework/canvas.h"

namespace {

void Fill(TBitmap& bitmap, TColor color)
{
    bitmap.Canvas().Brush.Color = color;
    bitmap.Canvas().FillRect(TRect{0, 0, bitmap.Width(), bitmap.Height()});
}

}  // namespace

TEST(Rop3, TruthTableMatchesTheNamedOperations)
{
    const std::uint32_t p = 0xF0F0F0, s = 0xCCCCCC, d = 0xAAAAAA;
    // The general evaluation must agree with each fast path on every bit pattern.
    for (TCopyMode rop : {cmSrcCopy, cmSrcAnd, cmSrcPaint, cmSrcInvert, cmPatCopy, cmBlackness, cmWhiteness}) {
        const unsigned table = (rop >> 16) & 0xFF;
        EXPECT_EQ(ApplyRop3(rop, p, s, d) & 0xFF, table) << std::hex << rop;
    }
    EXPECT_EQ(ApplyRop3(cmDstInvert, p, s, d) & 0xFF, 0x55u);
    EXPECT_EQ(ApplyRop3(cmSrcErase, p, s, d) & 0xFF, 0x44u);
    EXPECT_EQ(ApplyRop3(cmNotSrcErase, p, s, d) & 0xFF, 0x11u);
    EXPECT_EQ(ApplyRop3(0x00B8074A, p, s, d) & 0xFF, 0xB8u);
}

TEST(Bitmap, ResizeKeepsCommonPixelsAndBlackensNewOnes)
{
    TBitmap b;
    EXPECT_TRUE(b.Empty());
    b.SetWidth(4);
    EXPECT_TRUE(b.Empty());
    b.SetHeight(3);
    ASSERT_FALSE(b.Empty());
    Fill(b, clRed);
    b.SetSize(6, 5);
    EXPECT_EQ(b.Canvas().Pixel(3, 2), clRed);
    EXPECT_EQ(b.Canvas().Pixel(4, 2), clBlack);
    EXPECT_EQ(b.Canvas().Pixel(0, 4), clBlack);
}

TEST(Bitmap, ReadRow24CountsFromTheBottom)
{
    TBitmap b;
    b.SetSize(2, 2);
    b.Canvas().SetPixel(0, 1, MakeColor(1, 2, 3));
    std::uint8_t row[6] = {};
    b.ReadRow24(0, row);
    EXPECT_EQ(row[0], 3);
    EXPECT_EQ(row[1], 2);
    EXPECT_EQ(row[2], 1);
}

TEST(Canvas, CopyRectClipsToTheSourceAndLeavesTheRestBlack)
{
    TBitmap source, crop;
    source.SetSize(10, 10);
    Fill(source, clWhite);
    crop.SetSize(6, 6);
    crop.Canvas().CopyMode = cmSrcCopy;
    crop.Canvas().CopyRect(TRect{0, 0, 6, 6}, source.Canvas(), TRect{7, 7, 13, 13});
    EXPECT_EQ(crop.Canvas().Pixel(0, 0), clWhite);
    EXPECT_EQ(crop.Canvas().Pixel(2, 2), clWhite);
    EXPECT_EQ(crop.Canvas().Pixel(3, 0), clBlack);
    EXPECT_EQ(crop.Canvas().Pixel(0, 3), clBlack);
    EXPECT_EQ(crop.Canvas().Pixel(5, 5), clBlack);
}

TEST(Canvas, CopyRectAppliesTheCopyMode)
{
    TBitmap source, dest;
    source.SetSize(2, 1);
    dest.SetSize(2, 1);
    source.Canvas().SetPixel(0, 0, 0x0F0F0F);
    dest.Canvas().SetPixel(0, 0, 0x00FF00);
    dest.Canvas().CopyMode = cmSrcInvert;
    dest.Canvas().CopyRect(TRect{0, 0, 2, 1}, source.Canvas(), TRect{0, 0, 2, 1});
    EXPECT_EQ(dest.Canvas().Pixel(0, 0), 0x0FF00F);
}

TEST(Canvas, StretchedCopyTakesTheNearestPixel)
{
    TBitmap source, dest;
    source.SetSize(2, 2);
    source.Canvas().SetPixel(1, 1, clRed);
    dest.SetSize(4, 4);
    dest.Canvas().StretchDraw(TRect{0, 0, 4, 4}, source);
    EXPECT_EQ(dest.Canvas().Pixel(1, 1), clBlack);
    EXPECT_EQ(dest.Canvas().Pixel(2, 2), clRed);
    EXPECT_EQ(dest.Canvas().Pixel(3, 3), clRed);
}

TEST(Canvas, XorRectangleOutlineShowsOnBlackAndWhiteAndUndoesItself)
{
    for (TColor background : {clBlack, clWhite}) {
        TBitmap b;
        b.SetSize(8, 8);
        Fill(b, background);
        TCanvas& c = b.Canvas();
        c.Pen.Color = clWhite;
        c.Pen.Mode = pmXor;
        c.Brush.Style = bsClear;
        c.Rectangle(1, 1, 7, 7);
        const TColor expected = background ^ clWhite;
        EXPECT_EQ(c.Pixel(1, 1), expected);  // the corner is drawn once, not twice
        EXPECT_EQ(c.Pixel(6, 3), expected);
        EXPECT_EQ(c.Pixel(3, 3), background);
        EXPECT_EQ(c.Pixel(0, 0), background);
        c.Rectangle(1, 1, 7, 7);
        EXPECT_EQ(c.Pixel(1, 1), background);
    }
}

TEST(Canvas, DibRowsDrawThroughTheirColourTable)
{
    TBitmap b;
    b.SetSize(4, 2);
    const std::uint32_t colors[2] = {0x000000FF, 0x0000FF00};  // blue, green
    const std::uint8_t bits[8] = {0x50, 0, 0, 0, 0xA0, 0, 0, 0};  // 1 bit, two rows
    TDibView dib{4, -2, 1, colors, 2, bits};
    b.Canvas().SetDIBitsToDevice(0, 0, dib);
    EXPECT_EQ(b.Canvas().Pixel(0, 0), clBlue);
    EXPECT_EQ(b.Canvas().Pixel(1, 0), clLime);
    EXPECT_EQ(b.Canvas().Pixel(0, 1), clLime);
    EXPECT_EQ(b.Canvas().Pixel(1, 1), clBlue);
}
