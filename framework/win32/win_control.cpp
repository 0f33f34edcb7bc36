#include "framework/win32/win_control.h"

#include <algorithm>

#include "framework/application.h"
#include "framework/bitmap.h"
#include "framework/exceptions.h"
#include "framework/screen.h"
#include "framework/win32/forms.h"
#include "framework/win32/handles.h"
#include "framework/win32/menus.h"
#include "framework/win32/pixel_buffer_win32.h"
#include "framework/win32/wide.h"

namespace {

constexpr wchar_t kControlProperty[] = L"TalvernControl";
constexpr wchar_t kWindowClass[] = L"TalvernWindow";

// The window class is registered once per process, on first use.
void RegisterOwnClass()
{
    [[maybe_unused]] static const ATOM atom = [] {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof(wc);
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = TalvernWindowProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = nullptr;  // WM_SETCURSOR chooses
        wc.hbrBackground = nullptr;
        wc.lpszClassName = kWindowClass;
        wc.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
        return RegisterClassExW(&wc);
    }();
}

bool IsMouseMessage(UINT msg) { return msg >= WM_MOUSEFIRST && msg <= WM_MBUTTONDBLCLK; }
bool IsButtonDown(UINT msg)
{
    return msg == WM_LBUTTONDOWN || msg == WM_RBUTTONDOWN || msg == WM_MBUTTONDOWN || msg == WM_LBUTTONDBLCLK ||
           msg == WM_RBUTTONDBLCLK || msg == WM_MBUTTONDBLCLK;
}
bool IsButtonUp(UINT msg) { return msg == WM_LBUTTONUP || msg == WM_RBUTTONUP || msg == WM_MBUTTONUP; }

// Exceptions never cross the window procedure: the application shows them.
template <class F>
void Guarded(F&& f)
{
    try {
        f();
    } catch (const Exception& error) {
        Application().ShowException(error);
    } catch (const std::exception& error) {
        Application().ShowException(Exception(error.what()));
    }
}

}  // namespace

LRESULT CALLBACK TalvernWindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        if (auto* control = static_cast<TWinControl*>(create->lpCreateParams)) control->AttachHandle(window);
    }
    // This procedure runs only for windows the framework made or subclassed,
    // and their user data holds the control. It is read inside the process;
    // the window property that FromHandle reads would cost a call to the
    // window server (under Wine) for every message.
    auto* control = reinterpret_cast<TWinControl*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!control) return DefWindowProcW(window, msg, wParam, lParam);
    TMessage message{msg, wParam, lParam, 0};
    Guarded([&] { control->WindowProc(message); });
    if (msg == WM_NCDESTROY) control->DetachHandle();
    return message.Result;
}

TWinControl::TWinControl() = default;

TWinControl::~TWinControl()
{
    if (handle_) {
        HWND window = handle_;
        DestroyWindow(window);
        if (handle_) DetachHandle();
    }
}

TWinControl* TWinControl::FromHandle(HWND window)
{
    if (!window) return nullptr;
    // A window whose procedure is ours keeps its control in its user data, read
    // inside the process; the property costs a call to the window server under
    // Wine, and list views ask for it with every notification they send.
    if (GetWindowLongPtrW(window, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&TalvernWindowProc))
        return reinterpret_cast<TWinControl*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    return static_cast<TWinControl*>(GetPropW(window, kControlProperty));
}

void TWinControl::AttachHandle(HWND window)
{
    handle_ = window;
    SetPropW(window, kControlProperty, this);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

void TWinControl::DetachHandle()
{
    if (!handle_) return;
    RemovePropW(handle_, kControlProperty);
    SetWindowLongPtrW(handle_, GWLP_USERDATA, 0);
    if (oldProc_) SetWindowLongPtrW(handle_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(oldProc_));
    handle_ = nullptr;
}

TWinControl* TWinControl::ParentWindow() const { return dynamic_cast<TWinControl*>(Parent()); }

TForm* TWinControl::ParentForm()
{
    TWinControl* control = this;
    while (control->ParentWindow()) control = control->ParentWindow();
    return dynamic_cast<TForm*>(control);
}

void TWinControl::InsertControl(TControl& child)
{
    child.SetParentLink(this);
    controls_.push_back(&child);
    if (handle_) {
        if (auto* windowed = dynamic_cast<TWinControl*>(&child))
            windowed->HandleNeeded();
        else
            child.Invalidate();
    }
}

void TWinControl::CreateParams(TCreateParams& params)
{
    if (!Parent()) params.Style = WS_OVERLAPPEDWINDOW;
}

void TWinControl::HandleNeeded()
{
    if (handle_) return;
    if (TWinControl* parent = ParentWindow()) {
        if (!parent->handle_) {
            parent->HandleNeeded();  // creates this one too
            if (handle_) return;
        }
    }
    CreateHandle();
    for (TControl* child : controls_)
        if (auto* windowed = dynamic_cast<TWinControl*>(child)) windowed->HandleNeeded();
}

void TWinControl::CreateHandle()
{
    TCreateParams params;
    CreateParams(params);
    if (!Visible()) params.Style &= ~WS_VISIBLE;
    TWinControl* parent = ParentWindow();
    HWND parentHandle = parent ? parent->ParentHandleForChildren() : nullptr;
    if (parent) params.Style |= WS_CHILD;
    if (TabStop) params.Style |= WS_TABSTOP;
    const std::wstring caption = Utf8ToWide(caption_);
    ownClass_ = params.ClassName.empty();
    if (ownClass_) {
        RegisterOwnClass();
        CreateWindowExW(params.ExStyle, kWindowClass, caption.c_str(), params.Style, Left(), Top(), Width(), Height(),
                        parentHandle, nullptr, GetModuleHandleW(nullptr), this);
        if (!handle_) throw EOutOfResources("ウィンドウを作成できません");
    } else {
        HWND window = CreateWindowExW(params.ExStyle, params.ClassName.c_str(), caption.c_str(), params.Style, Left(),
                                      Top(), Width(), Height(), parentHandle, nullptr, GetModuleHandleW(nullptr),
                                      nullptr);
        if (!window) throw EOutOfResources("ウィンドウを作成できません");
        AttachHandle(window);
        oldProc_ = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TalvernWindowProc)));
    }
    if (TForm* form = ParentForm(); form && form != static_cast<TControl*>(this)) form->ControlCreated(*this);
    CreateWnd();
}

void TWinControl::SetBounds(int left, int top, int width, int height)
{
    TControl::SetBounds(left, top, width, height);
    if (handle_ && Parent()) MoveWindow(handle_, left, top, width, height, TRUE);
}

void TWinControl::SetVisible(bool visible)
{
    TControl::SetVisible(visible);
    if (handle_) ShowWindow(handle_, visible ? SW_SHOW : SW_HIDE);
}

std::string TWinControl::Caption() const
{
    if (!handle_ || ownClass_) return caption_;
    const int length = GetWindowTextLengthW(handle_);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    GetWindowTextW(handle_, text.data(), length + 1);
    text.resize(static_cast<size_t>(length));
    return WideToUtf8(text);
}

void TWinControl::SetCaption(const std::string& caption)
{
    if (caption == Caption()) return;
    caption_ = caption;
    if (handle_) {
        SetWindowTextW(handle_, Utf8ToWide(caption).c_str());
        if (ownClass_) ::InvalidateRect(handle_, nullptr, FALSE);
    }
}

bool TWinControl::Focused() const { return handle_ && GetFocus() == handle_; }

void TWinControl::SetFocus()
{
    if (handle_) ::SetFocus(handle_);
}

void TWinControl::Invalidate()
{
    if (handle_) ::InvalidateRect(handle_, nullptr, FALSE);
}

void TWinControl::Repaint()
{
    if (!handle_) return;
    ::InvalidateRect(handle_, nullptr, FALSE);
    UpdateWindow(handle_);
}

void TWinControl::InvalidateArea(const TRect& area)
{
    if (!handle_) return;
    const RECT r{area.Left, area.Top, area.Right, area.Bottom};
    ::InvalidateRect(handle_, &r, FALSE);
}

void TWinControl::RepaintArea(const TRect& area)
{
    InvalidateArea(area);
    if (handle_) UpdateWindow(handle_);
}

TPoint TWinControl::ParentClientToScreen(TPoint point) const
{
    POINT p{point.X, point.Y};
    if (handle_) ::ClientToScreen(handle_, &p);
    return TPoint{p.x, p.y};
}

TPoint TWinControl::ParentScreenToClient(TPoint point) const
{
    POINT p{point.X, point.Y};
    if (handle_) ::ScreenToClient(handle_, &p);
    return TPoint{p.x, p.y};
}

void TWinControl::DefaultHandler(TMessage& message)
{
    if (!handle_) return;
    message.Result = oldProc_ ? CallWindowProcW(oldProc_, handle_, message.Msg, message.WParam, message.LParam)
                              : DefWindowProcW(handle_, message.Msg, message.WParam, message.LParam);
}

void TWinControl::PaintBackground(TCanvas& canvas)
{
    canvas.Brush.Color = static_cast<TColor>(GetSysColor(COLOR_BTNFACE));
    canvas.Brush.Style = bsSolid;
    canvas.FillRect(ClientRect());
}

void TWinControl::PaintClientTo(TBitmap& image)
{
    image.SetSize(Width(), Height());
    if (image.Empty()) return;
    PaintBackground(image.Canvas());
    for (TControl* child : controls_)
        if (auto* graphic = dynamic_cast<TGraphicControl*>(child)) PaintGraphicControl(*graphic, image);
}

void TWinControl::PaintWindow()
{
    const ScopedPaint paint(handle_);
    const HDC dc = paint.dc();
    RECT client;
    GetClientRect(handle_, &client);
    TBitmap& image = paintBuffer_;
    image.SetSize(client.right, client.bottom, TPixelFill::Undefined);  // all painted below
    if (!image.Empty()) {
        PaintBackground(image.Canvas());
        for (TControl* child : controls_)
            if (auto* graphic = dynamic_cast<TGraphicControl*>(child)) PaintGraphicControl(*graphic, image);
        UniqueDC memory(CreateCompatibleDC(dc));
        ScopedSelect select(memory.get(), static_cast<DibSectionBuffer*>(image.Buffer())->Handle());
        BitBlt(dc, 0, 0, client.right, client.bottom, memory.get(), 0, 0, SRCCOPY);
    }
}

TControl* TWinControl::GraphicChildAt(int x, int y) const
{
    for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
        TControl* child = *it;
        if (!child->IsGraphic() || !child->Visible()) continue;
        const TRect r = child->BoundsRect();
        if (x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom) return child;
    }
    return nullptr;
}

void TWinControl::RouteMouse(TMessage& message)
{
    const int x = MouseX(message.LParam);
    const int y = MouseY(message.LParam);
    TControl* target = mouseCapture_ ? mouseCapture_ : GraphicChildAt(x, y);
    if (IsButtonDown(message.Msg)) {
        mouseCapture_ = target;
        if (ownClass_ && GetCapture() != handle_) SetCapture(handle_);
        capturing_ = ownClass_;
    }
    const bool releasing = IsButtonUp(message.Msg) &&
                           (message.WParam & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)) == 0;
    if (releasing) {
        mouseCapture_ = nullptr;
        if (capturing_) {
            capturing_ = false;
            ReleaseCapture();
        }
    }
    if (target) {
        TMessage forwarded = message;
        forwarded.LParam = MakeMouseLParam(x - target->Left(), y - target->Top());
        target->WindowProc(forwarded);
        return;
    }
    TControl::WndProc(message);
    DefaultHandler(message);
}

bool TWinControl::SetCursorFor(TMessage& message)
{
    if (LOWORD(message.LParam) != HTCLIENT) return false;
    TCursor cursor = Screen().Cursor();
    if (cursor == crDefault) {
        POINT p;
        GetCursorPos(&p);
        ::ScreenToClient(handle_, &p);
        TControl* child = mouseCapture_ ? mouseCapture_ : GraphicChildAt(p.x, p.y);
        cursor = child ? child->Cursor() : Cursor();
        if (cursor == crDefault && !ownClass_) return false;
    }
    ::SetCursor(CursorHandleFor(cursor));
    message.Result = TRUE;
    return true;
}

void TWinControl::WndProc(TMessage& message)
{
    switch (message.Msg) {
    case WM_PAINT:
        if (ownClass_) {
            PaintWindow();
            message.Result = 0;
            return;
        }
        break;
    case WM_ERASEBKGND:
        if (ownClass_) {
            message.Result = 1;
            return;
        }
        break;
    case WM_SETCURSOR:
        if (reinterpret_cast<HWND>(message.WParam) == handle_ && SetCursorFor(message)) return;
        break;
    case WM_CAPTURECHANGED:
        if (reinterpret_cast<HWND>(message.LParam) != handle_) {
            capturing_ = false;
            mouseCapture_ = nullptr;
        }
        break;
    case WM_COMMAND:
        if (message.LParam) {
            if (TWinControl* child = FromHandle(reinterpret_cast<HWND>(message.LParam)); child && child != this) {
                child->CommandNotification(HIWORD(message.WParam));
                return;
            }
        }
        break;
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(message.LParam);
        if (TWinControl* child = FromHandle(header->hwndFrom); child && child != this) {
            child->NotifyNotification(message);
            return;
        }
        break;
    }
    case WM_CHAR: {
        char key = static_cast<char>(message.WParam);
        if (TForm* form = ParentForm(); form && form->KeyPreview && form->OnKeyPress &&
                                        form != static_cast<TControl*>(this))
            form->OnKeyPress(*form, key);
        if (key && OnKeyPress) OnKeyPress(*this, key);
        if (!key) {
            message.Result = 0;
            return;
        }
        message.WParam = static_cast<unsigned char>(key);
        break;
    }
    case WM_CONTEXTMENU:
        if (PopupMenu && reinterpret_cast<HWND>(message.WParam) == handle_) {
            POINT at{static_cast<short>(LOWORD(message.LParam)), static_cast<short>(HIWORD(message.LParam))};
            if (message.LParam == -1) {  // from the keyboard: at the control's corner
                at = POINT{0, 0};
                ::ClientToScreen(handle_, &at);
            }
            PopupMenu->Popup(at.x, at.y, handle_);
            message.Result = 0;
            return;
        }
        break;
    case WM_KEYDOWN:
        if (PopupMenu && PopupMenu->IsShortCut(ShortCutOfKey(static_cast<unsigned>(message.WParam)))) {
            message.Result = 0;
            return;
        }
        break;
    case WM_SETFOCUS:
        if (TForm* form = ParentForm(); form && form != static_cast<TControl*>(this)) form->SetActiveControlLink(this);
        if (OnEnter) OnEnter(*this);
        break;
    case WM_KILLFOCUS: {
        // Only a move to another control of the same form is an exit: a message
        // box or another program taking the focus is not.
        TWinControl* next = FromHandle(reinterpret_cast<HWND>(message.WParam));
        if (OnExit && next && next->ParentForm() == ParentForm()) {
            DefaultHandler(message);
            OnExit(*this);
            return;
        }
        break;
    }
    default:
        if (IsMouseMessage(message.Msg)) {
            RouteMouse(message);
            return;
        }
        break;
    }
    DefaultHandler(message);
}

HCURSOR CursorHandleFor(TCursor cursor)
{
    if (void* handle = Screen().CursorHandle(cursor)) return static_cast<HCURSOR>(handle);
    return LoadCursorW(nullptr, IDC_ARROW);
}
