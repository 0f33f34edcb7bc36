#pragma once
// The control base of the framework: TControl with its bounds, cursor, hint,
// mouse events and replaceable WindowProc; TGraphicControl, a control without a
// window of its own, which its windowed parent paints and feeds with mouse
// messages. Portable: the windowed parent (TWinControl, Win32) reaches its
// children only through this interface.
#include <cstdint>
#include <functional>
#include <string>

#include "framework/rect.h"
#include "framework/screen.h"

class TCanvas;
class TBitmap;

// A window message as the framework passes it to WindowProc.
struct TMessage {
    unsigned Msg = 0;
    std::uintptr_t WParam = 0;
    std::intptr_t LParam = 0;
    std::intptr_t Result = 0;
};

// The mouse messages a control handles (the platform's numbers).
constexpr unsigned WM_MOUSEMOVE_ = 0x0200;
constexpr unsigned WM_LBUTTONDOWN_ = 0x0201;
constexpr unsigned WM_LBUTTONUP_ = 0x0202;
constexpr unsigned WM_LBUTTONDBLCLK_ = 0x0203;
constexpr unsigned WM_RBUTTONDOWN_ = 0x0204;
constexpr unsigned WM_RBUTTONUP_ = 0x0205;
constexpr unsigned WM_RBUTTONDBLCLK_ = 0x0206;
constexpr unsigned WM_MBUTTONDOWN_ = 0x0207;
constexpr unsigned WM_MBUTTONUP_ = 0x0208;
constexpr unsigned WM_MBUTTONDBLCLK_ = 0x0209;

// Packs client coordinates as the mouse messages carry them.
inline std::intptr_t MakeMouseLParam(int x, int y)
{
    return static_cast<std::intptr_t>((static_cast<std::uint32_t>(static_cast<std::uint16_t>(y)) << 16) |
                                      static_cast<std::uint16_t>(x));
}
inline int MouseX(std::intptr_t lParam) { return static_cast<std::int16_t>(lParam & 0xFFFF); }
inline int MouseY(std::intptr_t lParam) { return static_cast<std::int16_t>((lParam >> 16) & 0xFFFF); }

enum TMouseButton { mbLeft, mbRight, mbMiddle };

// Shift state bits, as the mouse messages' key flags give them.
using TShiftState = unsigned;
constexpr TShiftState ssShift = 1;
constexpr TShiftState ssCtrl = 2;
constexpr TShiftState ssLeft = 4;
constexpr TShiftState ssRight = 8;
constexpr TShiftState ssMiddle = 16;
constexpr TShiftState ssDouble = 32;

class TControl;

// What a control needs of the windowed control that holds it.
class TControlParent {
public:
    virtual ~TControlParent() = default;
    // Repaint the given area of the parent's client area later.
    virtual void InvalidateArea(const TRect& area) = 0;
    // Repaint the given area now.
    virtual void RepaintArea(const TRect& area) = 0;
    // Client coordinates of the parent to screen coordinates, and back.
    virtual TPoint ParentClientToScreen(TPoint point) const = 0;
    virtual TPoint ParentScreenToClient(TPoint point) const = 0;
};

using TMouseEvent = std::function<void(TControl& sender, TMouseButton button, TShiftState shift, int x, int y)>;
using TMouseMoveEvent = std::function<void(TControl& sender, TShiftState shift, int x, int y)>;
using TNotifyEvent = std::function<void(TControl& sender)>;

class TControl {
public:
    TControl();
    virtual ~TControl() = default;
    TControl(const TControl&) = delete;
    TControl& operator=(const TControl&) = delete;

    std::string Name;

    int Left() const { return bounds_.Left; }
    int Top() const { return bounds_.Top; }
    int Width() const { return bounds_.Right - bounds_.Left; }
    int Height() const { return bounds_.Bottom - bounds_.Top; }
    TRect BoundsRect() const { return bounds_; }
    virtual void SetBounds(int left, int top, int width, int height);
    TRect ClientRect() const { return TRect{0, 0, Width(), Height()}; }

    bool Visible() const { return visible_; }
    virtual void SetVisible(bool visible);

    TCursor Cursor() const { return cursor_; }
    void SetCursor(TCursor cursor) { cursor_ = cursor; }

    std::string Hint;
    bool ShowHint = false;

    // The parent; set by the parent when the control is inserted.
    TControlParent* Parent() const { return parent_; }
    void SetParentLink(TControlParent* parent) { parent_ = parent; }

    TPoint ClientToScreen(TPoint point) const;
    TPoint ScreenToClient(TPoint point) const;

    // Every message to the control goes through WindowProc; replace it to hook
    // the control, and call the previous one on to keep its behaviour.
    std::function<void(TMessage&)> WindowProc;
    void Perform(TMessage& message) { WindowProc(message); }
    // The control's own handling of a message.
    virtual void WndProc(TMessage& message);

    virtual void Invalidate();
    virtual void Repaint();

    TMouseEvent OnMouseDown;
    TMouseMoveEvent OnMouseMove;
    TMouseEvent OnMouseUp;
    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;

    virtual bool IsGraphic() const { return false; }

protected:
    virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseMove(TShiftState shift, int x, int y);
    virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
    virtual void DblClick();

private:
    TRect bounds_{};
    bool visible_ = true;
    TCursor cursor_ = crDefault;
    TControlParent* parent_ = nullptr;
};

// A control without a window: its parent paints it (into the parent's off-screen
// bitmap, in z-order) and routes mouse messages to it.
class TGraphicControl : public TControl {
public:
    bool IsGraphic() const override { return true; }
    // Draws the control onto a canvas whose origin is the control's top-left
    // corner and whose size is the control's.
    virtual void Paint(TCanvas& canvas) = 0;
};

// Paints a graphic control into its parent's bitmap at the control's place:
// the control draws on a copy of what lies beneath it (so XOR drawing and
// transparent areas work), clipped to its bounds.
void PaintGraphicControl(TGraphicControl& control, TBitmap& parentImage);
