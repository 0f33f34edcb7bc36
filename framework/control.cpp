#include "framework/control.h"

#include "framework/bitmap.h"
#include "framework/canvas.h"

TControl::TControl()
{
    WindowProc = [this](TMessage& message) { WndProc(message); };
}

void TControl::SetBounds(int left, int top, int width, int height)
{
    const TRect bounds{left, top, left + width, top + height};
    if (bounds == bounds_) return;
    const TRect old = bounds_;
    bounds_ = bounds;
    if (parent_ && visible_ && IsGraphic()) {
        parent_->InvalidateArea(old);
        parent_->InvalidateArea(bounds_);
    }
}

void TControl::SetVisible(bool visible)
{
    if (visible == visible_) return;
    visible_ = visible;
    if (parent_ && IsGraphic()) parent_->InvalidateArea(bounds_);
}

TPoint TControl::ClientToScreen(TPoint point) const
{
    if (!parent_) return point;
    return parent_->ParentClientToScreen(TPoint{point.X + Left(), point.Y + Top()});
}

TPoint TControl::ScreenToClient(TPoint point) const
{
    if (!parent_) return point;
    const TPoint p = parent_->ParentScreenToClient(point);
    return TPoint{p.X - Left(), p.Y - Top()};
}

void TControl::Invalidate()
{
    if (parent_ && visible_) parent_->InvalidateArea(bounds_);
}

void TControl::Repaint()
{
    if (parent_ && visible_) parent_->RepaintArea(bounds_);
}

namespace {

TShiftState ShiftFromKeyFlags(std::uintptr_t flags)
{
    TShiftState shift = 0;
    if (flags & 0x0004) shift |= ssShift;
    if (flags & 0x0008) shift |= ssCtrl;
    if (flags & 0x0001) shift |= ssLeft;
    if (flags & 0x0002) shift |= ssRight;
    if (flags & 0x0010) shift |= ssMiddle;
    return shift;
}

}  // namespace

void TControl::WndProc(TMessage& message)
{
    const int x = MouseX(message.LParam);
    const int y = MouseY(message.LParam);
    const TShiftState shift = ShiftFromKeyFlags(message.WParam);
    switch (message.Msg) {
    case WM_MOUSEMOVE_: MouseMove(shift, x, y); break;
    case WM_LBUTTONDOWN_: MouseDown(mbLeft, shift, x, y); break;
    case WM_RBUTTONDOWN_: MouseDown(mbRight, shift, x, y); break;
    case WM_MBUTTONDOWN_: MouseDown(mbMiddle, shift, x, y); break;
    case WM_LBUTTONUP_:
        MouseUp(mbLeft, shift, x, y);
        break;
    case WM_RBUTTONUP_: MouseUp(mbRight, shift, x, y); break;
    case WM_MBUTTONUP_: MouseUp(mbMiddle, shift, x, y); break;
    // A double click arrives in place of the second button-down: it is a
    // button-down too, flagged as double, after the double-click event.
    case WM_LBUTTONDBLCLK_:
        DblClick();
        MouseDown(mbLeft, shift | ssDouble, x, y);
        break;
    case WM_RBUTTONDBLCLK_: MouseDown(mbRight, shift | ssDouble, x, y); break;
    case WM_MBUTTONDBLCLK_: MouseDown(mbMiddle, shift | ssDouble, x, y); break;
    default: break;
    }
}

void TControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    if (OnMouseDown) OnMouseDown(*this, button, shift, x, y);
}

void TControl::MouseMove(TShiftState shift, int x, int y)
{
    if (OnMouseMove) OnMouseMove(*this, shift, x, y);
}

void TControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    if (OnMouseUp) OnMouseUp(*this, button, shift, x, y);
}

void TControl::DblClick()
{
    if (OnDblClick) OnDblClick(*this);
}

void PaintGraphicControl(TGraphicControl& control, TBitmap& parentImage)
{
    if (!control.Visible() || control.Width() <= 0 || control.Height() <= 0 || parentImage.Empty()) return;
    const TRect bounds = control.BoundsRect();
    const TRect local{0, 0, control.Width(), control.Height()};
    TBitmap layer;
    layer.SetSize(control.Width(), control.Height());
    TCanvas& canvas = layer.Canvas();
    canvas.CopyMode = cmSrcCopy;
    canvas.CopyRect(local, parentImage.Canvas(), bounds);
    control.Paint(canvas);
    TCanvas& target = parentImage.Canvas();
    const TCopyMode saved = target.CopyMode;
    target.CopyMode = cmSrcCopy;
    target.CopyRect(bounds, canvas, local);
    target.CopyMode = saved;
}
