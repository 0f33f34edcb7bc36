#include "app/clip_rect_editor.h"

#include <cstdio>

#include "framework/exceptions.h"
#include "framework/sysutils.h"

bool TClipRectEditor::FullPicture() const
{
    return ClipRect.Width() == view_.PictureWidth() && ClipRect.Height() == view_.PictureHeight();
}

bool TClipRectEditor::ClipChange(TClipInput sender)
{
    int left, top, right, bottom, width, height;
    try {
        left = StrToInt(view_.EditText(TClipInput::Left));
        top = StrToInt(view_.EditText(TClipInput::Top));
        right = StrToInt(view_.EditText(TClipInput::Right)) + 1;
        bottom = StrToInt(view_.EditText(TClipInput::Bottom)) + 1;
        width = StrToInt(view_.EditText(TClipInput::Width));
        height = StrToInt(view_.EditText(TClipInput::Height));
    } catch (const EConvertError& error) {
        view_.ShowMessage(error.Message);
        return false;
    }
    const kxRect before = ClipRect;
    switch (sender) {
    case TClipInput::Left: ClipRect.Left = left; break;
    case TClipInput::Top: ClipRect.Top = top; break;
    case TClipInput::Right: ClipRect.Right = right; break;
    case TClipInput::Bottom: ClipRect.Bottom = bottom; break;
    case TClipInput::Width: ClipRect.SetWidth(width); break;
    case TClipInput::Height: ClipRect.SetHeight(height); break;
    case TClipInput::ImageInfo:
        ClipRect.Left = 0;
        ClipRect.Top = 0;
        ClipRect.Right = view_.PictureWidth();
        ClipRect.Bottom = view_.PictureHeight();
        break;
    case TClipInput::None: break;
    }
    ShowClipRect();
    if (ClipRect != before) view_.RepaintImage();
    view_.SetShapeCursor(FullPicture() ? crDefault : crHandMove);
    return true;
}

void TClipRectEditor::ShowClipRect()
{
    view_.SetEditText(TClipInput::Left, IntToStr(ClipRect.Left));
    view_.SetEditText(TClipInput::Top, IntToStr(ClipRect.Top));
    view_.SetEditText(TClipInput::Right, IntToStr(static_cast<long long>(ClipRect.Right) - 1));
    view_.SetEditText(TClipInput::Bottom, IntToStr(static_cast<long long>(ClipRect.Bottom) - 1));
    view_.SetEditText(TClipInput::Width, IntToStr(ClipRect.Width()));
    view_.SetEditText(TClipInput::Height, IntToStr(ClipRect.Height()));
}

void TClipRectEditor::ImagePaint()
{
    const double zoom = view_.Zoom();
    const TPoint origin = view_.DrawOrigin();
    const int left = static_cast<int>((origin.X + kImageOffset) + ClipRect.Left * zoom);
    const int top = static_cast<int>((origin.Y + kImageOffset) + ClipRect.Top * zoom);
    const int width = static_cast<int>(ClipRect.Width() * zoom);
    const int height = static_cast<int>(ClipRect.Height() * zoom);
    view_.SetShapeBounds(TRect{left, top, left + width, top + height});
}

TPoint TClipRectEditor::ToImagePoint(TPoint imagePoint)
{
    const double zoom = view_.Zoom();
    const TPoint origin = view_.DrawOrigin();
    int x = 0;
    int y = 0;
    // A zoom of 0 (no picture) leaves the point at the origin.
    if (zoom != 0) {
        x = static_cast<int>((imagePoint.X - origin.X) / zoom);
        y = static_cast<int>((imagePoint.Y - origin.Y) / zoom);
    }
    if (x < 0) x = 0;
    if (x >= view_.PictureWidth()) x = view_.PictureWidth() - 1;
    if (y < 0) y = 0;
    if (y >= view_.PictureHeight()) y = view_.PictureHeight() - 1;
    return TPoint{x, y};
}

void TClipRectEditor::MouseMove(bool onShape, TPoint senderPoint, TPoint imagePoint)
{
    const TPoint p = ToImagePoint(imagePoint);
    char text[32];
    std::snprintf(text, sizeof text, "%4d,%4d", p.X, p.Y);
    view_.SetCoordinateText(text);
    if (onShape && ShapeMouse(senderPoint.X, senderPoint.Y, p.X, p.Y)) return;
    if (!Selecting) return;
    if (DragAnchorX < 0) {
        DragAnchorX = p.X;
        DragAnchorY = p.Y;
    }
    if (DragAnchorX > p.X) {
        ClipRect.Left = p.X;
        ClipRect.Right = DragAnchorX + 1;
    } else {
        ClipRect.Left = DragAnchorX;
        ClipRect.Right = p.X + 1;
    }
    if (DragAnchorY > p.Y) {
        ClipRect.Top = p.Y;
        ClipRect.Bottom = DragAnchorY + 1;
    } else {
        ClipRect.Top = DragAnchorY;
        ClipRect.Bottom = p.Y + 1;
    }
    ShowClipRect();
    ImagePaint();
}

void TClipRectEditor::MouseDown(bool onShape, TPoint senderPoint, TPoint imagePoint)
{
    if (ClipRect.Width() != 1) SavedClipRect = ClipRect;
    if (IgnoreNextMouseDown) {
        IgnoreNextMouseDown = false;
        return;
    }
    DragAnchorX = -1;
    DragAnchorY = -1;
    Selecting = true;
    MouseMove(onShape, senderPoint, imagePoint);
}

void TClipRectEditor::MouseUp(bool onShape, TPoint senderPoint, TPoint imagePoint)
{
    MouseMove(onShape, senderPoint, imagePoint);
    Selecting = false;
    ClipChange(TClipInput::None);
}

void TClipRectEditor::DblClick()
{
    IgnoreNextMouseDown = true;
    view_.OpenPreviewItem();
    ClipRect = SavedClipRect;
    ClipChange(TClipInput::None);
    view_.RepaintImage();
}

bool TClipRectEditor::ShapeMouse(int x, int y, int px, int py)
{
    const TRect bounds = view_.ShapeBounds();
    const int width = bounds.Right - bounds.Left;
    const int height = bounds.Bottom - bounds.Top;
    const TCursor cursor = view_.ShapeCursor();
    if (!Selecting) {
        if (x <= 2 || x >= width - 3)
            view_.SetShapeCursor(crSizeWE);
        else if (y <= 2 || y >= height - 3)
            view_.SetShapeCursor(crSizeNS);
        else if (cursor == crSizeWE || cursor == crSizeNS)
            view_.SetShapeCursor(FullPicture() ? crDefault : crHandMove);
        return true;
    }
    if (cursor == crDefault) return false;
    if (DragAnchorX < 0) {
        DragAnchorX = px;
        DragAnchorY = py;
        if (cursor == crSizeWE) DragLowEdge = x <= 2;
        if (cursor == crSizeNS) DragLowEdge = y <= 2;
        return true;
    }
    if (cursor == crHandMove) {
        MoveClip(px - DragAnchorX, py - DragAnchorY);
        DragAnchorX = px;
        DragAnchorY = py;
    } else if (cursor == crSizeWE) {
        if (DragLowEdge)
            ClipRect.Left = px >= ClipRect.Right ? ClipRect.Right - 1 : px;
        else
            ClipRect.Right = px < ClipRect.Left ? ClipRect.Left + 1 : px + 1;
    } else if (cursor == crSizeNS) {
        if (DragLowEdge)
            ClipRect.Top = py >= ClipRect.Bottom ? ClipRect.Bottom - 1 : py;
        else
            ClipRect.Bottom = py < ClipRect.Top ? ClipRect.Top + 1 : py + 1;
    }
    ShowClipRect();
    ImagePaint();
    return true;
}

void TClipRectEditor::MoveClip(int dx, int dy)
{
    const int w = ClipRect.Width();
    const int h = ClipRect.Height();
    ClipRect.Left += dx;
    ClipRect.Right += dx;
    ClipRect.Top += dy;
    ClipRect.Bottom += dy;
    if (ClipRect.Left < 0) {
        ClipRect.Left = 0;
        ClipRect.Right = w;
    }
    if (ClipRect.Top < 0) {
        ClipRect.Top = 0;
        ClipRect.Bottom = h;
    }
    if (ClipRect.Right >= view_.PictureWidth()) {
        ClipRect.Left = view_.PictureWidth() - w;
        ClipRect.Right = view_.PictureWidth();
    }
    if (ClipRect.Bottom >= view_.PictureHeight()) {
        ClipRect.Top = view_.PictureHeight() - h;
        ClipRect.Bottom = view_.PictureHeight();
    }
}
