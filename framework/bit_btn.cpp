#include "framework/bit_btn.h"

#include "framework/system_colors.h"

namespace {

constexpr int kKeySpace = 0x20;

}  // namespace

TBitBtn::TBitBtn()
{
    TControl::SetBounds(0, 0, 75, 25);
}

TBitBtn::~TBitBtn() = default;

void TBitBtn::SetCaption(const std::string& caption)
{
    if (caption == caption_) return;
    caption_ = caption;
    Invalidate();
}

void TBitBtn::SetEnabled(bool enabled)
{
    if (enabled == enabled_) return;
    enabled_ = enabled;
    Invalidate();
}

void TBitBtn::SetBounds(int left, int top, int width, int height)
{
    if (TRect{left, top, left + width, top + height} == BoundsRect()) return;
    TControl::SetBounds(left, top, width, height);
    if (backend_) backend_->BoundsChanged();
    Invalidate();
}

void TBitBtn::Click()
{
    if (OnClick) OnClick(*this);
}

bool TBitBtn::MouseCapture() const
{
    return backend_ ? backend_->HasCapture() : capture_;
}

void TBitBtn::SetCapture(bool capture)
{
    capture_ = capture;
    if (backend_) backend_->SetCapture(capture);
}

void TBitBtn::EndPress()
{
    press_ = prNone;
    SetCapture(false);
    Invalidate();
}

void TBitBtn::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    if (!enabled_) return;
    if (button == mbLeft && press_ == prNone) {
        press_ = prMouse;
        over_ = Inside(x, y);
        SetCapture(true);
        Invalidate();
    }
    TControl::MouseDown(button, shift, x, y);
}

void TBitBtn::MouseMove(TShiftState shift, int x, int y)
{
    if (press_ == prMouse && over_ != Inside(x, y)) {
        over_ = Inside(x, y);
        Invalidate();
    }
    TControl::MouseMove(shift, x, y);
}

void TBitBtn::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    const bool ends = button == mbLeft && press_ == prMouse;
    const bool clicked = ends && Inside(x, y);
    if (ends) EndPress();
    TControl::MouseUp(button, shift, x, y);
    if (clicked) Click();
}

// As a standard button: Space presses on key-down and clicks on key-up. The
// keyboard's repetition of a held Space neither presses again nor restarts a
// press that ended early (focus or capture lost).
void TBitBtn::KeyDown(int key, bool repeated)
{
    if (key != kKeySpace || repeated || !enabled_ || press_ != prNone) return;
    press_ = prKey;
    over_ = true;
    SetCapture(true);
    Invalidate();
}

void TBitBtn::KeyUp(int key)
{
    if (key != kKeySpace || press_ != prKey) return;
    EndPress();
    Click();
}

void TBitBtn::FocusChanged(bool focused)
{
    focused_ = focused;
    if (!focused && press_ == prKey)
        EndPress();
    else
        Invalidate();
}

void TBitBtn::CaptureLost()
{
    capture_ = false;
    if (press_ == prNone) return;
    press_ = prNone;
    Invalidate();
}

void TBitBtn::Paint(TCanvas& canvas)
{
    const TRect all = Rect(0, 0, Width(), Height());
    canvas.Brush.Style = bsSolid;
    canvas.Brush.Color = ColorToRGB(clBtnFace);
    canvas.FillRect(all);

    // Raised edge, sunken while pressed: an outer and an inner line on each side.
    const bool pressed = Down();
    auto frame = [&](int inset, TColor topLeft, TColor bottomRight) {
        const int l = inset, t = inset, r = Width() - inset, b = Height() - inset;
        if (r - l < 2 || b - t < 2) return;
        canvas.Brush.Color = ColorToRGB(topLeft);
        canvas.FillRect(Rect(l, t, r - 1, t + 1));
        canvas.FillRect(Rect(l, t, l + 1, b - 1));
        canvas.Brush.Color = ColorToRGB(bottomRight);
        canvas.FillRect(Rect(r - 1, t, r, b));
        canvas.FillRect(Rect(l, b - 1, r, b));
    };
    if (pressed) {
        frame(0, cl3DDkShadow, clBtnHighlight);
        frame(1, clBtnShadow, clBtnFace);
    } else {
        frame(0, clBtnHighlight, cl3DDkShadow);
        frame(1, clBtnFace, clBtnShadow);
    }

    canvas.Font = Font;
    canvas.Font.Color = ColorToRGB(enabled_ ? clBtnText : clBtnShadow);
    const int shift = pressed ? 1 : 0;
    const int textWidth = caption_.empty() ? 0 : canvas.TextWidth(caption_);
    const int glyphWidth = glyph_.Empty() ? 0 : glyph_.Width();
    const int gap = glyphWidth && textWidth ? 4 : 0;
    int x = (Width() - glyphWidth - gap - textWidth) / 2 + shift;
    if (glyphWidth) {
        const int y = (Height() - glyph_.Height()) / 2 + shift;
        const TColor transparent = glyph_.Canvas().Pixel(0, glyph_.Height() - 1);
        for (int gy = 0; gy < glyph_.Height(); ++gy)
            for (int gx = 0; gx < glyphWidth; ++gx) {
                const TColor pixel = glyph_.Canvas().Pixel(gx, gy);
                if (pixel != transparent && x + gx >= 0 && x + gx < canvas.Bitmap().Width() && y + gy >= 0 &&
                    y + gy < canvas.Bitmap().Height())
                    canvas.SetPixel(x + gx, y + gy, pixel);
            }
        x += glyphWidth + gap;
    }
    if (textWidth) canvas.TextOut(x, (Height() - canvas.TextHeight(caption_)) / 2 + shift, caption_);
    if (focused_) canvas.DrawFocusRect(Rect(3, 3, Width() - 3, Height() - 3));
}

void TBitBtn::Invalidate()
{
    if (backend_) backend_->Invalidate();
}

void TBitBtn::SetBackend(std::unique_ptr<TButtonBackend> backend)
{
    backend_ = std::move(backend);
}
