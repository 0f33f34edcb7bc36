#include <gtest/gtest.h>

#include "framework/bit_btn.h"
#include "framework/mouse_messages.h"
#include "framework/system_colors.h"

TEST(BitBtn, ClicksWhenReleasedOverItself)
{
    TBitBtn button;
    int clicks = 0;
    int downs = 0;
    button.OnClick = [&](TControl&) { ++clicks; };
    button.OnMouseDown = [&](TControl&, TMouseButton, TShiftState, int, int) { ++downs; };
    Send(button, Down(mbLeft), 3, 3);
    EXPECT_TRUE(button.Down());
    EXPECT_TRUE(button.MouseCapture());
    Send(button, WM_MOUSEMOVE_, 100, 3);
    EXPECT_FALSE(button.Down());
    Send(button, WM_MOUSEMOVE_, 4, 3);
    EXPECT_TRUE(button.Down());
    Send(button, Up(mbLeft), 4, 3);
    EXPECT_FALSE(button.MouseCapture());
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(downs, 1);

    Send(button, Down(mbLeft), 3, 3);
    Send(button, Up(mbLeft), 3, 30);
    Send(button, Down(mbRight), 3, 3);
    Send(button, Up(mbRight), 3, 3);
    Send(button, Down(mbLeft), 3, 3);
    button.CaptureLost();
    Send(button, Up(mbLeft), 3, 3);
    EXPECT_EQ(clicks, 1);

    button.SetEnabled(false);
    Send(button, Down(mbLeft), 3, 3);
    Send(button, Up(mbLeft), 3, 3);
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
    EXPECT_EQ(bitmap.Canvas().Pixel(0, 0), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(bitmap.Canvas().Pixel(29, 19), ColorToRGB(cl3DDkShadow));
    EXPECT_EQ(bitmap.Canvas().Pixel(28, 18), ColorToRGB(clBtnShadow));
    EXPECT_EQ(bitmap.Canvas().Pixel(20, 15), ColorToRGB(clBtnFace));
    EXPECT_EQ(bitmap.Canvas().Pixel(13 + 1, 8 + 1), clRed);  // glyph centred at (13, 8)
    EXPECT_EQ(bitmap.Canvas().Pixel(13, 8), ColorToRGB(clBtnFace));       // its transparent colour

    Send(button, Down(mbLeft), 3, 3);
    button.Paint(bitmap.Canvas());
    EXPECT_EQ(bitmap.Canvas().Pixel(0, 0), ColorToRGB(cl3DDkShadow));
    EXPECT_EQ(bitmap.Canvas().Pixel(1, 1), ColorToRGB(clBtnShadow));
    EXPECT_EQ(bitmap.Canvas().Pixel(13 + 2, 8 + 2), clRed);  // shifted while pressed
}
