#pragma once
// TWinControl: a control that is a real Win32 window. Common controls are
// subclassed; the framework's own containers (forms, panels, group boxes) use
// one window class of ours and are painted off-screen with their graphic
// children in z-order, then copied to the window in one go.
#include <windows.h>
#undef TextOut  // TCanvas::TextOut, not the ANSI/wide macro

#include <functional>
#include <string>
#include <vector>

#include "framework/bitmap.h"
#include "framework/canvas.h"
#include "framework/control.h"

class TWinControl;
class TForm;
class TPopupMenu;

LRESULT CALLBACK TalvernWindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);

using TKeyPressEvent = std::function<void(TControl& sender, char& key)>;

class TWinControl : public TControl, public TControlParent {
public:
    TWinControl();
    ~TWinControl() override;

    HWND Handle() const { return handle_; }
    bool HandleAllocated() const { return handle_ != nullptr; }
    // Creates the window (its parent's first) and the windows of its children.
    void HandleNeeded();

    // Adds a child at the top of the z-order; the child stays owned by the caller.
    void InsertControl(TControl& child);
    const std::vector<TControl*>& Controls() const { return controls_; }
    TWinControl* ParentWindow() const;
    TForm* ParentForm();

    int TabOrder = 0;
    bool TabStop = false;
    bool Focused() const;
    void SetFocus();

    void SetBounds(int left, int top, int width, int height) override;
    void SetVisible(bool visible) override;

    std::string Caption() const;
    void SetCaption(const std::string& caption);

    // Enter pressed in the control's form: a button that has the focus, or is
    // the form's default button, clicks. True when the control took the key.
    virtual bool EnterKey(bool focused) { (void)focused; return false; }

    TKeyPressEvent OnKeyPress;
    // Opens on a right click (or the menu key); sees the key-downs for its
    // shortcuts first. Not owned.
    TPopupMenu* PopupMenu = nullptr;
    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;

    void WndProc(TMessage& message) override;
    // The window's own (or its class's) handling.
    void DefaultHandler(TMessage& message);

    void Invalidate() override;
    void Repaint() override;

    // TControlParent
    void InvalidateArea(const TRect& area) override;
    void RepaintArea(const TRect& area) override;
    TPoint ParentClientToScreen(TPoint point) const override;
    TPoint ParentScreenToClient(TPoint point) const override;

    // The control whose window this is, or none.
    static TWinControl* FromHandle(HWND window);

    // Paints the client area into a bitmap the size of the control: the
    // control's own background, then its graphic children in z-order.
    void PaintClientTo(TBitmap& image);

protected:
    struct TCreateParams {
        std::wstring ClassName;  // empty: the framework's own window class
        DWORD Style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
        DWORD ExStyle = 0;
    };
    virtual void CreateParams(TCreateParams& params);
    // Called once the window exists, before its children are created.
    virtual void CreateWnd() {}
    // Background of a window of the framework's own class.
    virtual void PaintBackground(TCanvas& canvas);
    // Notifications that the parent reflects to the control that sent them.
    virtual void CommandNotification(unsigned code) { (void)code; }
    virtual void NotifyNotification(TMessage& message) { (void)message; }
    virtual HWND ParentHandleForChildren() const { return handle_; }
    bool OwnClass() const { return ownClass_; }
    std::string caption_;

private:
    friend LRESULT CALLBACK TalvernWindowProc(HWND, UINT, WPARAM, LPARAM);
    void CreateHandle();
    void AttachHandle(HWND window);
    void DetachHandle();
    void PaintWindow();
    void RouteMouse(TMessage& message);
    TControl* GraphicChildAt(int x, int y) const;
    bool SetCursorFor(TMessage& message);

    HWND handle_ = nullptr;
    WNDPROC oldProc_ = nullptr;
    bool ownClass_ = false;
    std::vector<TControl*> controls_;
    TControl* mouseCapture_ = nullptr;
    bool capturing_ = false;
    // What a paint draws before it goes to the screen, kept from paint to paint:
    // a window repainted for every file of a batch takes no new memory for it.
    TBitmap paintBuffer_;
};

// Cursor handle for a screen cursor number (the arrow when none is registered).
HCURSOR CursorHandleFor(TCursor cursor);
