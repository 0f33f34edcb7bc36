#include "framework/win32/forms.h"

#include <commctrl.h>

#include <algorithm>
#include <functional>

#include "framework/win32/std_controls.h"
#include "framework/win32/wide.h"

TForm::TForm() = default;

TForm::~TForm() = default;

void TForm::CreateParams(TCreateParams& params)
{
    params.Style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
    params.ExStyle = WS_EX_CONTROLPARENT;
}

void TForm::SetClientSize(int width, int height)
{
    RECT r{0, 0, width, height};
    AdjustWindowRectEx(&r, WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, FALSE, WS_EX_CONTROLPARENT);
    SetBounds(Left(), Top(), r.right - r.left, r.bottom - r.top);
}

void TForm::CreateWnd()
{
    font_.reset(CreateFontW(Font.Height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, static_cast<BYTE>(Font.Charset),
                            OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                            Utf8ToWide(Font.Name).c_str()));
    INITCOMMONCONTROLSEX init{sizeof(init), ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&init);
    tooltip_.reset(CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, Handle(), nullptr,
                               GetModuleHandleW(nullptr), nullptr));
    if (tooltip_) SendMessageW(tooltip_.get(), TTM_SETMAXTIPWIDTH, 0, 400);
    if (Position == poScreenCenter) {
        RECT work;
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        const int x = work.left + (work.right - work.left - Width()) / 2;
        const int y = work.top + (work.bottom - work.top - Height()) / 2;
        TControl::SetBounds(x, y, Width(), Height());
        MoveWindow(Handle(), x, y, Width(), Height(), FALSE);
    }
    AddTool(*this);
}

void TForm::ControlCreated(TWinControl& control)
{
    if (font_) SendMessageW(control.Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    if (auto* button = dynamic_cast<TButton*>(&control); button && font_) button->FitCaption(static_cast<HFONT>(font_.get()));
    AddTool(control);
    for (TControl* child : control.Controls())
        if (child->IsGraphic()) AddTool(*child);
}

void TForm::AddTool(TControl& control)
{
    if (!tooltip_ || control.Hint.empty() || !control.ShowHint) return;
    std::wstring text = Utf8ToWide(control.Hint);
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.lpszText = text.data();
    if (auto* windowed = dynamic_cast<TWinControl*>(&control)) {
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = Handle();
        tool.uId = reinterpret_cast<UINT_PTR>(windowed->Handle());
    } else if (auto* parent = dynamic_cast<TWinControl*>(control.Parent()); parent && parent->Handle()) {
        tool.uFlags = TTF_SUBCLASS;
        tool.hwnd = parent->Handle();
        tool.uId = reinterpret_cast<UINT_PTR>(&control);
        const TRect r = control.BoundsRect();
        tool.rect = RECT{r.Left, r.Top, r.Right, r.Bottom};
    } else {
        return;
    }
    SendMessageW(tooltip_.get(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void TForm::UpdateHint(TControl& control) { AddTool(control); }

void TForm::Show()
{
    HandleNeeded();
    ShowWindow(Handle(), SW_SHOW);
    UpdateWindow(Handle());
    if (activeControl_) activeControl_->SetFocus();
}

void TForm::Close()
{
    if (closing_ || !Handle()) return;
    closing_ = true;
    if (OnClose) OnClose(*this);
    DestroyWindow(Handle());
}

void TForm::SetActiveControl(TWinControl* control)
{
    activeControl_ = control;
    if (control && Handle()) control->SetFocus();
}

std::vector<TWinControl*> TForm::TabOrderList()
{
    std::vector<TWinControl*> list;
    std::function<void(TWinControl&)> walk = [&](TWinControl& parent) {
        std::vector<TWinControl*> children;
        for (TControl* child : parent.Controls())
            if (auto* windowed = dynamic_cast<TWinControl*>(child)) children.push_back(windowed);
        std::stable_sort(children.begin(), children.end(),
                         [](const TWinControl* a, const TWinControl* b) { return a->TabOrder < b->TabOrder; });
        for (TWinControl* child : children) {
            list.push_back(child);
            walk(*child);
        }
    };
    walk(*this);
    return list;
}

void TForm::SelectNext(TWinControl* current, bool forward)
{
    std::vector<TWinControl*> list = TabOrderList();
    std::erase_if(list, [](TWinControl* c) {
        return !c->TabStop || !c->HandleAllocated() || !IsWindowVisible(c->Handle()) || !IsWindowEnabled(c->Handle());
    });
    if (list.empty()) return;
    if (!forward) std::reverse(list.begin(), list.end());
    auto it = std::find(list.begin(), list.end(), current);
    TWinControl* next = (it == list.end() || it + 1 == list.end()) ? list.front() : *(it + 1);
    next->SetFocus();
}

bool TForm::DialogKey(const MSG& message)
{
    if (message.message != WM_KEYDOWN) return false;
    const bool alt = GetKeyState(VK_MENU) < 0;
    const bool ctrl = GetKeyState(VK_CONTROL) < 0;
    if (message.wParam == VK_TAB && !alt && !ctrl) {
        TWinControl* current = FromHandle(GetFocus());
        SelectNext(current, GetKeyState(VK_SHIFT) >= 0);
        return true;
    }
    if (message.wParam == VK_ESCAPE && CancelButton && CancelButton->HandleAllocated() &&
        IsWindowVisible(CancelButton->Handle()) && IsWindowEnabled(CancelButton->Handle())) {
        CancelButton->Click();
        return true;
    }
    // The keyboard's repetition of a held Enter clicks no more.
    if (message.wParam == VK_RETURN && !alt && !ctrl && (message.lParam & (1 << 30)) == 0) return EnterKey(message);
    return false;
}

bool TForm::EnterKey(const MSG& message)
{
    TWinControl* focused = FromHandle(message.hwnd);
    if (focused && focused->ParentForm() == this) {
        MSG copy = message;
        const LRESULT code = SendMessageW(message.hwnd, WM_GETDLGCODE, message.wParam, reinterpret_cast<LPARAM>(&copy));
        if (code & (DLGC_WANTALLKEYS | DLGC_WANTMESSAGE)) return false;
        if (focused->EnterKey(true)) return true;
    }
    for (TWinControl* control : TabOrderList())
        if (control != focused && control->HandleAllocated() && IsWindowVisible(control->Handle()) &&
            IsWindowEnabled(control->Handle()) && control->EnterKey(false))
            return true;
    return false;
}

void TForm::WndProc(TMessage& message)
{
    switch (message.Msg) {
    case WM_CLOSE:
        Close();
        message.Result = 0;
        return;
    case WM_DESTROY:
        // The tooltip is owned by the form's window and goes with it.
        tooltip_.release();
        break;
    case WM_ACTIVATE:
        if (LOWORD(message.WParam) != WA_INACTIVE && ActiveControl() && ActiveControl()->HandleAllocated()) {
            ActiveControl()->SetFocus();
            message.Result = 0;
            return;
        }
        break;
    default: break;
    }
    TWinControl::WndProc(message);
}

bool IsFormDialogMessage(const MSG& message)
{
    TWinControl* control = TWinControl::FromHandle(message.hwnd);
    if (!control) return false;
    TForm* form = control->ParentForm();
    return form && form->DialogKey(message);
}
