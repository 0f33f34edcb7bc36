#include "framework/win32/custom_grid_win32.h"

#include <memory>

namespace {

int Bar(TScrollBarKind kind) { return kind == sbHorizontal ? SB_HORZ : SB_VERT; }

}  // namespace

TCustomGridWindow::TCustomGridWindow(TCustomGrid& grid) : grid_(grid)
{
    TabStop = true;
    BoundsChanged();
}

TFrameMetrics TCustomGridWindow::Metrics() const
{
    TFrameMetrics metrics;
    metrics.EdgeSize = GetSystemMetrics(SM_CXEDGE);
    metrics.BorderSize = GetSystemMetrics(SM_CXBORDER);
    metrics.HScrollHeight = GetSystemMetrics(SM_CYHSCROLL);
    metrics.VScrollWidth = GetSystemMetrics(SM_CXVSCROLL);
    return metrics;
}

void TCustomGridWindow::BoundsChanged()
{
    TWinControl::SetBounds(grid_.Left(), grid_.Top(), grid_.Width(), grid_.Height());
}

void TCustomGridWindow::CreateParams(TCreateParams& params)
{
    TWinControl::CreateParams(params);
    if (grid_.HasScrollBar(sbHorizontal)) params.Style |= WS_HSCROLL;
    if (grid_.HasScrollBar(sbVertical)) params.Style |= WS_VSCROLL;
    if (grid_.BorderStyle() == bsSingle) {
        if (grid_.Ctl3D())
            params.ExStyle |= WS_EX_CLIENTEDGE;
        else
            params.Style |= WS_BORDER;
    }
}

void TCustomGridWindow::CreateWnd()
{
    ApplyScrollBars();
}

void TCustomGridWindow::SetScrollBar(TScrollBarKind kind, int min, int max, int position)
{
    if (!HandleAllocated()) return;
    SCROLLINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = SIF_RANGE | SIF_POS | SIF_DISABLENOSCROLL;
    info.nMin = min;
    info.nMax = max;
    info.nPos = position;
    SetScrollInfo(Handle(), Bar(kind), &info, TRUE);
}

void TCustomGridWindow::ApplyScrollBars()
{
    for (TScrollBarKind kind : {sbHorizontal, sbVertical}) {
        ShowScrollBar(Handle(), Bar(kind), grid_.HasScrollBar(kind));
        if (grid_.HasScrollBar(kind)) {
            const TCustomGrid::TScrollInfo& info = grid_.ScrollInfo(kind);
            SetScrollBar(kind, info.Min, info.Max, info.Position);
        }
    }
}

// The frame and the scroll bars are window styles: set them anew and let the
// system recompute the frame.
void TCustomGridWindow::RecreateWnd()
{
    if (!HandleAllocated()) return;
    TCreateParams params;
    CreateParams(params);
    const LONG_PTR style = GetWindowLongPtrW(Handle(), GWL_STYLE);
    const LONG_PTR kept = style & ~static_cast<LONG_PTR>(WS_HSCROLL | WS_VSCROLL | WS_BORDER);
    SetWindowLongPtrW(Handle(), GWL_STYLE, kept | (params.Style & (WS_HSCROLL | WS_VSCROLL | WS_BORDER)));
    SetWindowLongPtrW(Handle(), GWL_EXSTYLE, params.ExStyle);
    SetWindowPos(Handle(), nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    ApplyScrollBars();
    TWinControl::Invalidate();
}

void TCustomGridWindow::HandleScroll(TScrollBarKind kind, unsigned code, unsigned messagePosition)
{
    if (code > SB_ENDSCROLL) return;
    int position = static_cast<int>(messagePosition);
    // The message carries 16 bits of the thumb position; beyond them the
    // scroll bar's own 32-bit track position counts.
    if (grid_.ScrollInfo(kind).Max > 0xFFFF) {
        SCROLLINFO info{};
        info.cbSize = sizeof(info);
        info.fMask = SIF_TRACKPOS;
        GetScrollInfo(Handle(), Bar(kind), &info);
        position = info.nTrackPos;
    }
    grid_.Scroll(kind, static_cast<TScrollCode>(code), position);
}

void TCustomGridWindow::WndProc(TMessage& message)
{
    switch (message.Msg) {
    case WM_HSCROLL:
    case WM_VSCROLL:
        if (message.LParam == 0) {
            HandleScroll(message.Msg == WM_HSCROLL ? sbHorizontal : sbVertical, LOWORD(message.WParam),
                         HIWORD(message.WParam));
            message.Result = 0;
            return;
        }
        break;
    case WM_GETDLGCODE:
        message.Result = DLGC_WANTARROWS;
        return;
    case WM_KEYDOWN:
        grid_.KeyDown(static_cast<int>(message.WParam));
        message.Result = 0;
        return;
    default:
        if (message.Msg >= WM_MOUSEFIRST && message.Msg <= WM_MBUTTONDBLCLK) {
            if (message.Msg == WM_LBUTTONDOWN || message.Msg == WM_LBUTTONDBLCLK) SetFocus();
            grid_.Perform(message);
            message.Result = 0;
            return;
        }
        break;
    }
    TWinControl::WndProc(message);
}

TWinControl& AttachWindow(TCustomGrid& grid)
{
    auto window = std::make_unique<TCustomGridWindow>(grid);
    TCustomGridWindow& result = *window;
    grid.SetBackend(std::move(window));
    return result;
}
