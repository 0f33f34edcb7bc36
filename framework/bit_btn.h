#pragma once
// TBitBtn: a push button with a caption and an optional glyph. It holds the
// mouse capture from button-down to button-up and clicks when released over
// itself. Painting and input are portable; the window sits behind a
// TButtonBackend (framework/win32/ has the Win32 one).
#include <functional>
#include <memory>
#include <string>

#include "framework/bitmap.h"
#include "framework/canvas.h"

enum TMouseButton { mbLeft, mbRight, mbMiddle };
using TShiftState = unsigned;
constexpr TShiftState ssShift = 0x01;
constexpr TShiftState ssAlt = 0x02;
constexpr TShiftState ssCtrl = 0x04;
constexpr TShiftState ssLeft = 0x08;

class TButtonBackend {
public:
    virtual ~TButtonBackend() = default;
    virtual void Invalidate() = 0;
    virtual void BoundsChanged() = 0;
    virtual void SetCapture(bool capture) = 0;
    // Whether the window still holds the mouse capture.
    virtual bool HasCapture() const = 0;
};

class TBitBtn {
public:
    TBitBtn();
    virtual ~TBitBtn();
    TBitBtn(const TBitBtn&) = delete;
    TBitBtn& operator=(const TBitBtn&) = delete;

    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& caption);
    // Drawn left of the caption; its bottom-left pixel is the transparent colour.
    TBitmap& Glyph() { return glyph_; }
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    TFont Font;

    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    void SetBounds(int left, int top, int width, int height);

    std::function<void(TBitBtn& sender)> OnClick;
    std::function<void(TBitBtn& sender, TMouseButton button, TShiftState shift, int x, int y)> OnMouseDown;
    std::function<void(TBitBtn& sender, TMouseButton button, TShiftState shift, int x, int y)> OnMouseUp;

    // Fires OnClick.
    virtual void Click();
    bool MouseCapture() const;
    // Drawn pressed: the left button went down here and the mouse is over it.
    bool Down() const { return down_ && over_; }

    // Input from the window, in the button's coordinates.
    virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseMove(TShiftState shift, int x, int y);
    virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
    // Another window took the capture: the press ends without a click.
    void CaptureLost();

    void Paint(TCanvas& canvas);
    void Invalidate();
    void SetBackend(std::unique_ptr<TButtonBackend> backend);
    TButtonBackend* Backend() const { return backend_.get(); }

private:
    bool Inside(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }
    void SetCapture(bool capture);
    std::string caption_;
    TBitmap glyph_;
    bool enabled_ = true;
    int left_ = 0;
    int top_ = 0;
    int width_ = 75;
    int height_ = 25;
    bool down_ = false;
    bool over_ = false;
    bool capture_ = false;  // without a window
    std::unique_ptr<TButtonBackend> backend_;
};
