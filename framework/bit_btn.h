#pragma once
// TBitBtn: a push button with a caption and an optional glyph. It holds the
// mouse capture from button-down to button-up and clicks when released over
// itself; Space held while it has the focus presses it the same way and clicks
// on release, and Enter clicks the focused or default button. Painting and
// input are portable; the window sits behind a TButtonBackend
// (framework/win32/ has the Win32 one).
#include <functional>
#include <memory>
#include <string>

#include "framework/bitmap.h"
#include "framework/canvas.h"
#include "framework/control.h"

class TButtonBackend {
public:
    virtual ~TButtonBackend() = default;
    virtual void Invalidate() = 0;
    virtual void BoundsChanged() = 0;
    virtual void SetCapture(bool capture) = 0;
    // Whether the window still holds the mouse capture.
    virtual bool HasCapture() const = 0;
};

class TBitBtn : public TControl {
public:
    TBitBtn();
    ~TBitBtn() override;
    TBitBtn(const TBitBtn&) = delete;
    TBitBtn& operator=(const TBitBtn&) = delete;

    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& caption);
    // Drawn left of the caption; its bottom-left pixel is the transparent colour.
    TBitmap& Glyph() { return glyph_; }
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    // The button that Enter clicks when no other button has the focus.
    bool Default() const { return default_; }
    void SetDefault(bool isDefault) { default_ = isDefault; }
    TFont Font;

    void SetBounds(int left, int top, int width, int height) override;

    // Fires OnClick.
    virtual void Click();
    bool MouseCapture() const;
    // Drawn pressed: held by Space, or the left button went down here and the
    // mouse is over it.
    bool Down() const { return press_ != prNone && over_; }
    // Held down by the mouse or by Space.
    bool Pressed() const { return press_ != prNone; }
    bool HeldByKey() const { return press_ == prKey; }

    // Another window took the capture: the press ends without a click.
    void CaptureLost();
    // The focus came or went; a press by Space ends without a click when it goes.
    virtual void FocusChanged(bool focused);
    bool Focused() const { return focused_; }
    // A key pressed or released while the button has the focus (the platform's
    // key code); `repeated` marks the keyboard's own repetition of a held key.
    virtual void KeyDown(int key, bool repeated);
    virtual void KeyUp(int key);

    void Paint(TCanvas& canvas);
    void Invalidate() override;
    void SetBackend(std::unique_ptr<TButtonBackend> backend);
    TButtonBackend* Backend() const { return backend_.get(); }

protected:
    // Mouse input arrives through WindowProc, in the button's coordinates.
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

private:
    bool Inside(int x, int y) const { return x >= 0 && y >= 0 && x < Width() && y < Height(); }
    void SetCapture(bool capture);
    void EndPress();
    enum TPress { prNone, prMouse, prKey };
    std::string caption_;
    TBitmap glyph_;
    bool enabled_ = true;
    bool default_ = false;
    bool focused_ = false;
    TPress press_ = prNone;
    bool over_ = false;
    bool capture_ = false;  // without a window
    std::unique_ptr<TButtonBackend> backend_;
};
