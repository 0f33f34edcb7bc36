#include "framework/win32/bit_btn_win32.h"

#include <memory>

TBitBtnWindow::TBitBtnWindow(TBitBtn& button) : button_(button)
{
    TabStop = true;
    BoundsChanged();
}

void TBitBtnWindow::BoundsChanged()
{
    TWinControl::SetBounds(button_.Left(), button_.Top(), button_.Width(), button_.Height());
}

void TBitBtnWindow::SetCapture(bool capture)
{
    if (!HandleAllocated()) return;
    if (capture)
        ::SetCapture(Handle());
    else if (GetCapture() == Handle())
        ReleaseCapture();
}

bool TBitBtnWindow::HasCapture() const
{
    return HandleAllocated() && GetCapture() == Handle();
}

void TBitBtnWindow::WndProc(TMessage& message)
{
    if (message.Msg >= WM_MOUSEFIRST && message.Msg <= WM_MBUTTONDBLCLK) {
        if (message.Msg == WM_LBUTTONDOWN || message.Msg == WM_LBUTTONDBLCLK) SetFocus();
        button_.Perform(message);
        message.Result = 0;
        return;
    }
    switch (message.Msg) {
    case WM_CAPTURECHANGED:
        if (reinterpret_cast<HWND>(message.LParam) != Handle()) button_.CaptureLost();
        break;
    case WM_KEYDOWN:
        button_.KeyDown(static_cast<int>(message.WParam), (message.LParam & (1 << 30)) != 0);
        break;
    case WM_KEYUP:
        button_.KeyUp(static_cast<int>(message.WParam));
        break;
    case WM_SETFOCUS:
        button_.FocusChanged(true);
        break;
    case WM_KILLFOCUS:
        button_.FocusChanged(false);
        break;
    default: break;
    }
    TWinControl::WndProc(message);
}

bool TBitBtnWindow::EnterKey(bool focused)
{
    if (!(focused || button_.Default()) || !button_.Enabled()) return false;
    button_.Click();
    return true;
}

TWinControl& AttachWindow(TBitBtn& button)
{
    auto window = std::make_unique<TBitBtnWindow>(button);
    TBitBtnWindow& result = *window;
    button.SetBackend(std::move(window));
    return result;
}
