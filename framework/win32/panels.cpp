#include "framework/win32/panels.h"

#include "framework/path_ellipsis.h"

namespace {

constexpr int kCaptionLeft = 8;

void Bevel(TCanvas& canvas, TRect r, TBevelCut cut)
{
    if (cut == bvNone) return;
    const TColor light = static_cast<TColor>(GetSysColor(COLOR_BTNHIGHLIGHT));
    const TColor shadow = static_cast<TColor>(GetSysColor(COLOR_BTNSHADOW));
    const TColor topLeft = cut == bvRaised ? light : shadow;
    const TColor bottomRight = cut == bvRaised ? shadow : light;
    canvas.Brush.Style = bsSolid;
    canvas.Brush.Color = topLeft;
    canvas.FillRect(TRect{r.Left, r.Top, r.Right, r.Top + 1});
    canvas.FillRect(TRect{r.Left, r.Top, r.Left + 1, r.Bottom});
    canvas.Brush.Color = bottomRight;
    canvas.FillRect(TRect{r.Left, r.Bottom - 1, r.Right, r.Bottom});
    canvas.FillRect(TRect{r.Right - 1, r.Top, r.Right, r.Bottom});
}

}  // namespace

void TPanel::PaintBackground(TCanvas& canvas)
{
    canvas.Brush.Style = bsSolid;
    canvas.Brush.Color = ColorToRGB(Color);
    canvas.FillRect(ClientRect());
    Bevel(canvas, ClientRect(), BevelOuter);
    Bevel(canvas, TRect{1, 1, Width() - 1, Height() - 1}, BevelInner);
}

void TGroupBox::CreateParams(TCreateParams& params)
{
    TWinControl::CreateParams(params);
    params.ExStyle |= WS_EX_CONTROLPARENT;
}

void TGroupBox::PaintBackground(TCanvas& canvas)
{
    TWinControl::PaintBackground(canvas);
    const int textHeight = caption_.empty() ? 12 : canvas.TextHeight(caption_);
    TRect frame{0, textHeight / 2, Width(), Height()};
    const TColor light = static_cast<TColor>(GetSysColor(COLOR_BTNHIGHLIGHT));
    const TColor shadow = static_cast<TColor>(GetSysColor(COLOR_BTNSHADOW));
    canvas.Brush.Style = bsSolid;
    // Etched: a shadow line with a light line beside it.
    canvas.Brush.Color = light;
    canvas.FrameRect(TRect{frame.Left + 1, frame.Top + 1, frame.Right, frame.Bottom});
    canvas.Brush.Color = shadow;
    canvas.FrameRect(TRect{frame.Left, frame.Top, frame.Right - 1, frame.Bottom - 1});
    // The caption keeps a margin from the frame's right side as from its left;
    // one too wide (the previewed file's path) gives way in its middle.
    const std::string caption = PathEllipsis(caption_, Width() - 2 * kCaptionLeft - 2,
                                             [&](const std::string& text) { return canvas.TextWidth(text); });
    if (!caption.empty()) {
        const int width = canvas.TextWidth(caption);
        canvas.Brush.Color = static_cast<TColor>(GetSysColor(COLOR_BTNFACE));
        canvas.FillRect(TRect{kCaptionLeft - 2, 0, kCaptionLeft + width + 2, textHeight});
        canvas.Font.Color = static_cast<TColor>(GetSysColor(COLOR_BTNTEXT));
        canvas.TextOut(kCaptionLeft, 0, caption);
    }
}
