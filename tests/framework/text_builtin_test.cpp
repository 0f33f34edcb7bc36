// The built-in bitmap font that draws text where there is no platform font.
#ifndef _WIN32
#include <gtest/gtest.h>

#include "framework/bitmap.h"
#include "framework/canvas.h"

namespace {

int CountInk(TBitmap& bitmap, const TRect& r, TColor ink)
{
    int n = 0;
    for (int y = r.Top; y < r.Bottom; ++y)
        for (int x = r.Left; x < r.Right; ++x) n += bitmap.Canvas().Pixel(x, y) == ink;
    return n;
}

TEST(BuiltinFont, GlyphsStayInTheirCellsAndScaleWithTheHeight)
{
    TBitmap bitmap;
    bitmap.SetSize(40, 40);
    TCanvas& canvas = bitmap.Canvas();
    canvas.Font.Height = 8;
    canvas.Font.Color = clRed;
    EXPECT_EQ(canvas.TextWidth("AB"), 12);
    EXPECT_EQ(canvas.TextHeight("AB"), 8);
    canvas.TextOut(2, 3, "A B");
    const int a = CountInk(bitmap, TRect{2, 3, 8, 11}, clRed);
    EXPECT_GT(a, 10);
    EXPECT_EQ(CountInk(bitmap, TRect{8, 3, 14, 11}, clRed), 0) << "a space draws nothing";
    EXPECT_GT(CountInk(bitmap, TRect{14, 3, 20, 11}, clRed), 10);
    EXPECT_EQ(CountInk(bitmap, TRect{0, 0, 40, 40}, clRed), CountInk(bitmap, TRect{2, 3, 20, 11}, clRed));
    EXPECT_EQ(bitmap.Canvas().Pixel(0, 0), clBlack) << "the background is left alone";
    // Twice the height: four times the ink.
    TBitmap big;
    big.SetSize(40, 40);
    big.Canvas().Font.Height = -16;
    big.Canvas().Font.Color = clRed;
    big.Canvas().TextOut(0, 0, "A");
    EXPECT_EQ(CountInk(big, TRect{0, 0, 40, 40}, clRed), 4 * a);
}

TEST(BuiltinFont, CharactersWithoutGlyphsAreBoxes)
{
    TBitmap bitmap;
    bitmap.SetSize(40, 10);
    TCanvas& canvas = bitmap.Canvas();
    canvas.Font.Height = 8;
    canvas.Font.Color = clWhite;
    const std::string kanji = "亜";  // a double-byte character in code page 932: two cells
    EXPECT_EQ(canvas.TextWidth(kanji), 12);
    EXPECT_EQ(canvas.TextWidth("ｱ"), 6);  // half-width katakana: one
    EXPECT_EQ(canvas.TextWidth("😀한"), 24);  // characters outside the code page: two
    EXPECT_EQ(canvas.TextWidth("\xE3x"), 12);  // a malformed byte is a box of its own
    canvas.TextOut(-3, -2, kanji + "x");  // partly off the bitmap
    EXPECT_GT(CountInk(bitmap, TRect{0, 0, 9, 6}, clWhite), 5);
}

}  // namespace
#endif
