#include "app/clip_rect_editor.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

namespace {

class FakeView : public TClipRectView {
public:
    std::map<TClipInput, std::string> edits{{TClipInput::Left, "0"},     {TClipInput::Top, "0"},
                                            {TClipInput::Right, "639"},  {TClipInput::Bottom, "479"},
                                            {TClipInput::Width, "640"},  {TClipInput::Height, "480"}};
    std::vector<std::string> messages;
    int repaints = 0;
    int pictureWidth = 640;
    int pictureHeight = 480;
    double zoom = 1.0;
    TPoint origin{0, 0};
    TRect shape{};
    TCursor cursor = crDefault;
    std::string coordinates;
    int opened = 0;

    std::string EditText(TClipInput edit) override { return edits[edit]; }
    void SetEditText(TClipInput edit, const std::string& text) override { edits[edit] = text; }
    void ShowMessage(const std::string& text) override { messages.push_back(text); }
    void RepaintImage() override { ++repaints; }
    int PictureWidth() override { return pictureWidth; }
    int PictureHeight() override { return pictureHeight; }
    double Zoom() override { return zoom; }
    TPoint DrawOrigin() override { return origin; }
    TRect ShapeBounds() override { return shape; }
    void SetShapeBounds(const TRect& bounds) override { shape = bounds; }
    TCursor ShapeCursor() override { return cursor; }
    void SetShapeCursor(TCursor c) override { cursor = c; }
    void SetCoordinateText(const std::string& text) override { coordinates = text; }
    void OpenPreviewItem() override { ++opened; }
};

class ClipRectEditorTest : public ::testing::Test {
protected:
    FakeView view;
    kxRect clip{0, 0, 640, 480};
    TClipRectEditor editor{view, clip};

    std::vector<std::string> Edits()
    {
        return {view.edits[TClipInput::Left],   view.edits[TClipInput::Top],   view.edits[TClipInput::Right],
                view.edits[TClipInput::Bottom], view.edits[TClipInput::Width], view.edits[TClipInput::Height]};
    }
    // A preview at zoom 1 drawn at (0, 0): image points are picture points.
    void Click(TPoint p)
    {
        editor.MouseDown(false, p, p);
        editor.MouseUp(false, p, p);
    }
    // The outline placed by ImagePaint, the pointer given in its coordinates.
    void OnShape(void (TClipRectEditor::*event)(bool, TPoint, TPoint), TPoint shapePoint)
    {
        const TPoint image{shapePoint.X + view.shape.Left - 1, shapePoint.Y + view.shape.Top - 1};
        (editor.*event)(true, shapePoint, image);
    }
};

TEST_F(ClipRectEditorTest, EditsApplyOnlyTheSendersValue)
{
    view.edits[TClipInput::Left] = "50";
    ASSERT_TRUE(editor.ClipChange(TClipInput::Left));
    view.edits[TClipInput::Width] = "100";
    ASSERT_TRUE(editor.ClipChange(TClipInput::Width));
    EXPECT_EQ(Edits(), (std::vector<std::string>{"50", "0", "149", "479", "100", "480"}));

    // Typing in one edit does not apply another edit's stale text.
    view.edits[TClipInput::Top] = "7";
    view.edits[TClipInput::Right] = "10";
    ASSERT_TRUE(editor.ClipChange(TClipInput::Right));
    EXPECT_EQ(Edits(), (std::vector<std::string>{"50", "0", "10", "479", "-39", "480"}));
    EXPECT_EQ(clip, kxRect(50, 0, 11, 480));
}

TEST_F(ClipRectEditorTest, RepaintsOnlyWhenTheRectangleChanged)
{
    ASSERT_TRUE(editor.ClipChange(TClipInput::None));
    EXPECT_EQ(view.repaints, 0);
    EXPECT_EQ(view.cursor, crDefault);
    view.edits[TClipInput::Height] = "200";
    ASSERT_TRUE(editor.ClipChange(TClipInput::Height));
    EXPECT_EQ(view.repaints, 1);
    EXPECT_EQ(view.cursor, crHandMove);
}

TEST_F(ClipRectEditorTest, NonNumericEditShowsConversionMessageAndChangesNothing)
{
    view.edits[TClipInput::Bottom] = "x";
    view.edits[TClipInput::Left] = "5";
    EXPECT_FALSE(editor.ClipChange(TClipInput::Left));
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_EQ(view.messages[0], "'x' は数値ではありません");
    EXPECT_EQ(clip, kxRect(0, 0, 640, 480));
    EXPECT_EQ(view.edits[TClipInput::Left], "5");
}

TEST_F(ClipRectEditorTest, ImageInfoTakesTheWholePicture)
{
    view.pictureWidth = 320;
    view.pictureHeight = 200;
    clip = kxRect(5, 5, 10, 10);
    ASSERT_TRUE(editor.ClipChange(TClipInput::ImageInfo));
    EXPECT_EQ(Edits(), (std::vector<std::string>{"0", "0", "319", "199", "320", "200"}));
    EXPECT_EQ(view.cursor, crDefault);
}

TEST_F(ClipRectEditorTest, MappingBothWaysAtQuarterZoom)
{
    view.zoom = 0.25;
    view.origin = TPoint{4, 0};
    clip = kxRect(100, 40, 300, 200);
    editor.ImagePaint();
    EXPECT_EQ(view.shape, (TRect{30, 11, 80, 51}));
    EXPECT_EQ(editor.ToImagePoint(TPoint{30, 11}), (TPoint{104, 44}));
}

TEST_F(ClipRectEditorTest, PointsOutsideThePictureAreClampedOntoIt)
{
    view.zoom = 0.25;
    view.origin = TPoint{4, 0};
    EXPECT_EQ(editor.ToImagePoint(TPoint{-50, -3}), (TPoint{0, 0}));
    EXPECT_EQ(editor.ToImagePoint(TPoint{1000, 1000}), (TPoint{639, 479}));
    editor.MouseMove(false, TPoint{1000, 1000}, TPoint{1000, 1000});
    EXPECT_EQ(view.coordinates, " 639, 479");
    // No picture (the view's zoom is 0): no division by zero.
    view.zoom = 0;
    view.pictureWidth = 0;
    view.pictureHeight = 0;
    EXPECT_EQ(editor.ToImagePoint(TPoint{10, 10}), (TPoint{-1, -1}));
}

TEST_F(ClipRectEditorTest, RubberBandContainsAnchorAndPointerAndIsAtLeastOnePixel)
{
    Click(TPoint{10, 20});
    EXPECT_EQ(clip, kxRect(10, 20, 11, 21));
    EXPECT_EQ(Edits(), (std::vector<std::string>{"10", "20", "10", "20", "1", "1"}));

    editor.MouseDown(false, TPoint{50, 60}, TPoint{50, 60});
    editor.MouseMove(false, TPoint{20, 80}, TPoint{20, 80});
    EXPECT_EQ(clip, kxRect(20, 60, 51, 81));
    editor.MouseUp(false, TPoint{20, 80}, TPoint{20, 80});
    EXPECT_FALSE(editor.Selecting);
    // Moves without a button only update the readout.
    editor.MouseMove(false, TPoint{300, 300}, TPoint{300, 300});
    EXPECT_EQ(clip, kxRect(20, 60, 51, 81));
    EXPECT_EQ(view.coordinates, " 300, 300");
}

TEST_F(ClipRectEditorTest, DoubleClickRestoresTheRectangleFromBeforeTheFirstClick)
{
    clip = kxRect(5, 6, 105, 106);
    Click(TPoint{10, 20});  // first click of the double click draws 1 x 1
    editor.DblClick();
    EXPECT_EQ(view.opened, 1);
    editor.MouseDown(false, TPoint{10, 20}, TPoint{10, 20});  // the double click's button-down
    EXPECT_FALSE(editor.Selecting);
    editor.MouseUp(false, TPoint{10, 20}, TPoint{10, 20});
    EXPECT_EQ(clip, kxRect(5, 6, 105, 106));
    EXPECT_EQ(Edits(), (std::vector<std::string>{"5", "6", "104", "105", "100", "100"}));
    EXPECT_FALSE(editor.IgnoreNextMouseDown);
}

TEST_F(ClipRectEditorTest, HoverChoosesEdgeCursorsWithWestEastWinningAtCorners)
{
    clip = kxRect(100, 100, 200, 200);
    editor.ImagePaint();  // shape 100 x 100
    view.cursor = crHandMove;
    editor.MouseMove(true, TPoint{2, 50}, TPoint{});
    EXPECT_EQ(view.cursor, crSizeWE);
    editor.MouseMove(true, TPoint{50, 97}, TPoint{});
    EXPECT_EQ(view.cursor, crSizeNS);
    editor.MouseMove(true, TPoint{97, 0}, TPoint{});
    EXPECT_EQ(view.cursor, crSizeWE);
    editor.MouseMove(true, TPoint{50, 50}, TPoint{});
    EXPECT_EQ(view.cursor, crHandMove);
    clip = kxRect(0, 0, 640, 480);
    editor.ImagePaint();
    view.cursor = crSizeNS;
    editor.MouseMove(true, TPoint{50, 50}, TPoint{});
    EXPECT_EQ(view.cursor, crDefault);
}

TEST_F(ClipRectEditorTest, EdgeDragNeverCrossesTheOppositeEdge)
{
    clip = kxRect(100, 100, 200, 200);
    editor.ImagePaint();
    OnShape(&TClipRectEditor::MouseMove, TPoint{1, 50});
    ASSERT_EQ(view.cursor, crSizeWE);
    OnShape(&TClipRectEditor::MouseDown, TPoint{1, 50});
    EXPECT_TRUE(editor.DragLowEdge);
    editor.MouseMove(true, TPoint{0, 50}, TPoint{150, 150});
    EXPECT_EQ(clip, kxRect(150, 100, 200, 200));
    editor.MouseMove(true, TPoint{0, 50}, TPoint{400, 150});
    EXPECT_EQ(clip, kxRect(199, 100, 200, 200));
    editor.MouseUp(true, TPoint{0, 50}, TPoint{400, 150});
    EXPECT_EQ(view.cursor, crHandMove);

    // The bottom edge dragged above the top stops one row below it.
    clip = kxRect(100, 100, 200, 200);
    editor.ImagePaint();
    OnShape(&TClipRectEditor::MouseMove, TPoint{50, 98});
    ASSERT_EQ(view.cursor, crSizeNS);
    OnShape(&TClipRectEditor::MouseDown, TPoint{50, 98});
    EXPECT_FALSE(editor.DragLowEdge);
    editor.MouseMove(true, TPoint{50, 0}, TPoint{150, 20});
    EXPECT_EQ(clip, kxRect(100, 100, 200, 101));
}

TEST_F(ClipRectEditorTest, MovingKeepsTheSizeAndStaysFlushWithThePicture)
{
    clip = kxRect(100, 100, 200, 150);
    editor.ImagePaint();
    view.cursor = crHandMove;
    OnShape(&TClipRectEditor::MouseDown, TPoint{50, 25});
    editor.MouseMove(true, TPoint{50, 25}, TPoint{160, 130});
    EXPECT_EQ(clip, kxRect(110, 105, 210, 155));
    editor.MouseMove(true, TPoint{50, 25}, TPoint{639, 479});
    EXPECT_EQ(clip, kxRect(540, 430, 640, 480));
    editor.MouseMove(true, TPoint{50, 25}, TPoint{0, 0});
    EXPECT_EQ(clip, kxRect(0, 0, 100, 50));
}

TEST_F(ClipRectEditorTest, RectangleLargerThanThePictureEndsAtNegativeOrigin)
{
    view.pictureWidth = 50;
    view.pictureHeight = 40;
    clip = kxRect(0, 0, 100, 60);
    editor.MoveClip(5, 5);
    EXPECT_EQ(clip, kxRect(-50, -20, 50, 40));
}

TEST_F(ClipRectEditorTest, OnShapeWithDefaultCursorDrawsARubberBand)
{
    editor.ImagePaint();  // full picture, cursor 0
    editor.MouseDown(true, TPoint{10, 10}, TPoint{9, 9});
    editor.MouseMove(true, TPoint{20, 30}, TPoint{19, 29});
    EXPECT_EQ(clip, kxRect(9, 9, 20, 30));
}

}  // namespace
