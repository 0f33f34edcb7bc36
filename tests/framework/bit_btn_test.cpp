#include <gtest/gtest.h>

#include "framework/bit_btn.h"
#include "framework/system_colors.h"

TEST(BitBtn, ClicksWhenReleasedOverItself)
{
    TBitBtn button;
    int clicks = 0;
    int downs = 0;
    button.OnClick = [&](TBitBtn&) { ++clicks; };
    button.OnMouseDown = [&](TBitBtn&, TMouseButton, TShiftState, int, int) { ++downs; };
    button.MouseDown(mbLeft, 0, 3, 3);
    EXPECT_TRUE(button.Down());
    EXPECT_TRUE(button.MouseCapture());
    button.MouseMove(0, 100, 3);
    EXPECT_FALSE(button.Down());
    button.MouseMove(0, 4, 3);
    EXPECT_TRUE(button.Down());
    button.MouseUp(mbLeft, 0, 4, 3);
    EXPECT_FALSE(button.MouseCapture());
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(downs, 1);

    button.MouseDown(mbLeft, 0, 3, 3);
    button.MouseUp(mbLeft, 0, 3, 30);
    button.MouseDown(mbRight, 0, 3, 3);
    button.MouseUp(mbRight, 0, 3, 3);
    button.MouseDown(mbLeft, 0, 3, 3);
    button.CaptureLost();
    button.MouseUp(mbLeft, 0, 3, 3);
    EXPECT_EQ(clicks, 1);

    button.SetEnabled(false);
    button.MouseDown(mbLeft, 0, 3, 3);
    button.MouseUp(mbLeft, 0, 3, 3);
    EXPECT_EQ(clicks, 1);
}

TEST(BitBtn, PaintsARaisedOrSunkenFaceWithItsGlyph)
{
    TBitBtn button;
    button.SetBounds(0, 0, 30, 20);
    button.Glyph().SetSize(4, 4);
    button.Glyph().Canvas().Brush.Color = clLime;  // the bottom-left pixel: transparent
    button.Glyph().Canvas().FillRect(Rect(0, 0, 4, 4));
    button.Glyph().Canvas().SetPixel(1, 1, clRed);
    TBitmap bitmap;
    bitmap.SetSize(30, 20);
    button.Paint(bitmap.Canvas());
    EXPECT_EQ(bitmap.Canvas().Pixel(0, 0), clWhite);
    EXPECT_EQ(bitmap.Canvas().Pixel(29, 19), clBlack);
    EXPECT_EQ(bitmap.Canvas().Pixel(28, 18), clGray);
    EXPECT_EQ(bitmap.Canvas().Pixel(20, 15), clSilver);
    EXPECT_EQ(bitmap.Canvas().Pixel(13 + 1, 8 + 1), clRed);  // glyph centred at (13, 8)
    EXPECT_EQ(bitmap.Canvas().Pixel(13, 8), clSilver);       // its transparent colour

    button.MouseDown(mbLeft, 0, 3, 3);
    button.Paint(bitmap.Canvas());
    EXPECT_EQ(bitmap.Canvas().Pixel(0, 0), clBlack);
    EXPECT_EQ(bitmap.Canvas().Pixel(1, 1), clGray);
    EXPECT_EQ(bitmap.Canvas().Pixel(13 + 2, 8 + 2), clRed);  // shifted while pressed
}
