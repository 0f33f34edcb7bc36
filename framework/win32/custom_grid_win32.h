#pragma once
// The window of a TCustomGrid: a window of the framework's own class with the
// grid's frame and scroll bars. It paints the grid off-screen, hands it the
// mouse and the arrow keys, and turns every scroll message into Scroll.
#include "framework/custom_grid.h"
#include "framework/win32/win_control.h"

class TCustomGridWindow final : public TWinControl, public TGridBackend {
public:
    explicit TCustomGridWindow(TCustomGrid& grid);

    // TGridBackend
    TFrameMetrics Metrics() const override;
    void Invalidate() override { TWinControl::Invalidate(); }
    void BoundsChanged() override;
    void SetScrollBar(TScrollBarKind kind, int min, int max, int position) override;
    void RecreateWnd() override;

    void WndProc(TMessage& message) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void PaintBackground(TCanvas& canvas) override { grid_.Paint(canvas); }

private:
    void ApplyScrollBars();
    void HandleScroll(TScrollBarKind kind, unsigned code, unsigned messagePosition);
    TCustomGrid& grid_;
};

// Gives the grid its window, which the grid owns; insert the window into a
// windowed parent to show the grid.
TWinControl& AttachWindow(TCustomGrid& grid);
