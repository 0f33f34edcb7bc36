// kxvImage's display: zoom, alignment, tiling and the paint event, checked by
// painting the view into a bitmap and looking at the pixels.
#include <gtest/gtest.h>

#include "framework/bitmap.h"
#include "framework/canvas.h"
#include "framework/shape.h"
#include "image/kxv_image.h"

namespace {

constexpr TColor kPicture = MakeColor(200, 10, 10);
constexpr TColor kGround = MakeColor(10, 200, 10);
constexpr TColor kParent = MakeColor(1, 2, 3);

class ViewPaint : public ::testing::Test {
protected:
    kxvImage view;
    TBitmap target;  // the parent's area, the view at (0, 0)

    void SetUp() override
    {
        view.SetBounds(0, 0, 168, 128);
        target.SetSize(168, 128);
        Fill(target, kParent);
    }
    static void Fill(TBitmap& bitmap, TColor color)
    {
        bitmap.Canvas().Brush.Color = color;
        bitmap.Canvas().Brush.Style = bsSolid;
        bitmap.Canvas().FillRect(TRect{0, 0, bitmap.Width(), bitmap.Height()});
    }
    void Picture(int width, int height)
    {
        view.Picture().Bitmap().SetSize(width, height);
        Fill(view.Picture().Bitmap(), kPicture);
    }
    void Paint() { PaintGraphicControl(view, target); }
    TColor At(int x, int y) { return target.Canvas().Pixel(x, y); }
    TRect Drawn() { return view.DrawRect.ToTRect(); }
    // The bounding box of the picture's colour in the target.
    TRect PictureArea()
    {
        TRect r{target.Width(), target.Height(), 0, 0};
        for (int y = 0; y < target.Height(); ++y)
            for (int x = 0; x < target.Width(); ++x)
                if (At(x, y) == kPicture) {
                    r.Left = std::min(r.Left, x);
                    r.Top = std::min(r.Top, y);
                    r.Right = std::max(r.Right, x + 1);
                    r.Bottom = std::max(r.Bottom, y + 1);
                }
        return r;
    }
};

TEST_F(ViewPaint, LargePictureIsReducedToFitAndCentred)
{
    Picture(640, 480);
    view.SetAutoZoom(azLarge);
    view.SetAutoAlign(aaCenter);
    view.SetColor(kGround);
    Paint();
    EXPECT_DOUBLE_EQ(view.Zoom, 0.2625);
    EXPECT_EQ(Drawn(), (TRect{0, 1, 168, 127}));
    EXPECT_EQ(PictureArea(), (TRect{0, 1, 168, 127}));
    EXPECT_EQ(At(5, 0), kGround);
    EXPECT_EQ(At(5, 127), kGround);
}

TEST_F(ViewPaint, SmallPictureKeepsItsSizeUnderAzLargeAndGrowsUnderTheOthers)
{
    Picture(100, 50);
    view.SetAutoZoom(azLarge);
    view.SetAutoAlign(aaCenter);
    Paint();
    EXPECT_DOUBLE_EQ(view.Zoom, 1.0);
    EXPECT_EQ(Drawn(), (TRect{34, 39, 134, 89}));
    EXPECT_EQ(PictureArea(), (TRect{34, 39, 134, 89}));
    // Without a background colour the parent shows through around it.
    EXPECT_EQ(At(0, 0), kParent);

    for (kxvAutoZoom rule : {azSmall, azAlways}) {
        view.SetAutoZoom(rule);
        Paint();
        EXPECT_DOUBLE_EQ(view.Zoom, 1.68);
        EXPECT_EQ(Drawn(), (TRect{0, 22, 168, 106}));
    }
    // azSmall leaves large pictures alone, azAlways reduces them.
    Picture(336, 128);
    view.SetAutoZoom(azSmall);
    Paint();
    EXPECT_DOUBLE_EQ(view.Zoom, 1.0);
    view.SetAutoZoom(azAlways);
    Paint();
    EXPECT_DOUBLE_EQ(view.Zoom, 0.5);
}

TEST_F(ViewPaint, EveryAlignmentPlacesThePictureByItsBits)
{
    Picture(50, 40);
    struct Case {
        kxvAutoAlign align;
        int x, y;
    };
    const int right = 168 - 50, bottom = 128 - 40, cx = right / 2, cy = bottom / 2;
    const Case cases[] = {
        {aaNone, 0, 0},        {aaLeft, 0, 0},          {aaRight, right, 0},         {aaCenterW, cx, 0},
        {aaTop, 0, 0},         {aaTopLeft, 0, 0},       {aaTopRight, right, 0},      {aaTopCenter, cx, 0},
        {aaBottom, 0, bottom}, {aaBottomLeft, 0, bottom}, {aaBottomRight, right, bottom}, {aaBottomCenter, cx, bottom},
        {aaCenterH, 0, cy},    {aaCenterLeft, 0, cy},   {aaCenterRight, right, cy},  {aaCenter, cx, cy},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.align));
        Fill(target, kParent);
        view.SetAutoAlign(c.align);
        Paint();
        EXPECT_EQ(Drawn(), (TRect{c.x, c.y, c.x + 50, c.y + 40}));
        EXPECT_EQ(PictureArea(), Drawn());
    }
}

TEST_F(ViewPaint, CenterOverridesAlignmentAndHalvingTruncatesTowardZero)
{
    Picture(200, 40);
    view.SetAutoAlign(aaCenterW);
    Paint();
    EXPECT_EQ(view.DrawRect.Left, -16);
    EXPECT_EQ(PictureArea(), (TRect{0, 0, 168, 40}));
    Picture(173, 40);  // difference -5 halves to -2
    Paint();
    EXPECT_EQ(view.DrawRect.Left, -2);
    Picture(50, 40);
    view.SetAutoAlign(aaBottomRight);
    view.SetCenter(true);
    Paint();
    EXPECT_EQ(Drawn(), (TRect{59, 44, 109, 84}));
}

TEST_F(ViewPaint, TilingRepeatsTheDrawnSizeOverTheWholeView)
{
    Picture(25, 25);
    // Half of the tile in a checker pattern proves each tile holds the picture.
    view.Picture().Bitmap().Canvas().SetPixel(0, 0, kGround);
    view.SetAutoZoom(azNone);
    view.SetZoom(2.0);
    view.SetAutoAlign(aaTile);
    Paint();
    EXPECT_EQ(Drawn(), (TRect{0, 0, 50, 50}));
    int tiles = 0;
    for (int y = 0; y < 128; y += 50)
        for (int x = 0; x < 168; x += 50) {
            ++tiles;
            EXPECT_EQ(At(x, y), kGround);
            EXPECT_EQ(At(x + 2, y + 2), kPicture);
        }
    EXPECT_EQ(tiles, 12);
    EXPECT_EQ(At(167, 127), kPicture);  // the last, clipped tile
}

TEST_F(ViewPaint, EmptyPictureDrawsOnlyTheBackgroundAndStillFiresOnPaint)
{
    view.SetAutoZoom(azLarge);
    view.SetAutoAlign(aaCenter);
    view.SetColor(kGround);
    int painted = 0;
    view.OnPaint = [&](kxvImage& sender, TCanvas& canvas) {
        EXPECT_EQ(&sender, &view);
        EXPECT_EQ(canvas.Bitmap().Width(), 168);
        ++painted;
    };
    Paint();
    EXPECT_EQ(painted, 1);
    EXPECT_EQ(view.Zoom, 0.0);
    EXPECT_EQ(Drawn(), (TRect{84, 64, 84, 64}));
    EXPECT_EQ(At(84, 64), kGround);
}

TEST_F(ViewPaint, StretchTakesTheViewSizeAsThePictureSize)
{
    Picture(10, 10);
    view.SetStretch(true);
    view.SetAutoZoom(azAlways);
    Paint();
    EXPECT_DOUBLE_EQ(view.Zoom, 1.0);
    EXPECT_EQ(PictureArea(), (TRect{0, 0, 168, 128}));
}

TEST(ViewProperties, AutoZoomNoneResetsZoomAndStretchOnlyOnChange)
{
    kxvImage view;
    view.SetAutoZoom(azAlways);
    view.Zoom = 3.0;
    view.SetStretch(true);
    view.SetAutoZoom(azAlways);
    EXPECT_EQ(view.Zoom, 3.0);
    view.SetAutoZoom(azNone);
    EXPECT_EQ(view.Zoom, 1.0);
    EXPECT_FALSE(view.Stretch());
    EXPECT_EQ(view.GetFilter(), "すべてのﾌｧｲﾙ(*.*)|*.*|ﾋﾞｯﾄﾏｯﾌﾟ|*.BMP;*.RLE;*.RGB;*.DIB");
}

// The clip outline: a hollow shape with a white XOR pen above the view.
TEST(ClipOutline, XorOutlineIsVisibleOnBlackAndOnWhite)
{
    for (TColor ground : {clBlack, clWhite}) {
        TBitmap target;
        target.SetSize(40, 30);
        target.Canvas().Brush.Color = ground;
        target.Canvas().FillRect(TRect{0, 0, 40, 30});
        TShape shape;
        shape.Brush.Style = bsClear;
        shape.Pen.Color = clWhite;
        shape.Pen.Mode = pmXor;
        shape.SetBounds(5, 5, 20, 10);
        PaintGraphicControl(shape, target);
        const TColor line = ground ^ 0xFFFFFF;
        EXPECT_EQ(target.Canvas().Pixel(5, 5), line);
        EXPECT_EQ(target.Canvas().Pixel(24, 14), line);
        EXPECT_EQ(target.Canvas().Pixel(15, 5), line);
        EXPECT_EQ(target.Canvas().Pixel(15, 10), ground);  // hollow
        EXPECT_EQ(target.Canvas().Pixel(25, 5), ground);   // nothing outside
        // Painting twice restores the picture beneath.
        PaintGraphicControl(shape, target);
        EXPECT_EQ(target.Canvas().Pixel(5, 5), ground);
    }
}

}  // namespace
