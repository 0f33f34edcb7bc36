#pragma once
// The window of a TBitBtn: a window of the framework's own class that paints
// the button off-screen and hands it the mouse, the keys and the focus,
// holding the capture for it.
#include "framework/bit_btn.h"
#include "framework/win32/win_control.h"

class TBitBtnWindow final : public TWinControl, public TButtonBackend {
public:
    explicit TBitBtnWindow(TBitBtn& button);

    // TButtonBackend
    void Invalidate() override { TWinControl::Invalidate(); }
    void BoundsChanged() override;
    void SetCapture(bool capture) override;
    bool HasCapture() const override;

    bool EnterKey(bool focused) override;
    void WndProc(TMessage& message) override;

protected:
    void PaintBackground(TCanvas& canvas) override { button_.Paint(canvas); }

private:
    TBitBtn& button_;
};

// Gives the button its window, which the button owns; insert the window into a
// windowed parent to show the button.
TWinControl& AttachWindow(TBitBtn& button);
