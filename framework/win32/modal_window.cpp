#include "framework/win32/modal_window.h"

#include <commctrl.h>

#include <algorithm>

#include "framework/win32/wide.h"

namespace {

constexpr wchar_t kModalWindowClass[] = L"TalvernModalWindow";
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;

}  // namespace

TModalWindow::TModalWindow(const std::string& title, int clientWidth, int clientHeight, HWND owner) : owner_(owner)
{
    static const bool registered = [] {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = &TModalWindow::WindowProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = kModalWindowClass;
        return RegisterClassExW(&wc) != 0;
    }();
    (void)registered;
    INITCOMMONCONTROLSEX init{sizeof(init), ICC_TREEVIEW_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&init);
    font_.reset(CreateFontW(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS,
                            CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                            Utf8ToWide("ＭＳ Ｐゴシック").c_str()));

    const RECT at = Placement(clientWidth, clientHeight);
    window_.reset(CreateWindowExW(kExStyle, kModalWindowClass, Utf8ToWide(title).c_str(), kStyle, at.left, at.top,
                                  at.right - at.left, at.bottom - at.top, owner, nullptr, GetModuleHandleW(nullptr),
                                  nullptr));
    SetWindowLongPtrW(window_.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

RECT TModalWindow::Placement(int clientWidth, int clientHeight) const
{
    RECT r{0, 0, clientWidth, clientHeight};
    AdjustWindowRectEx(&r, kStyle, FALSE, kExStyle);
    const int width = r.right - r.left, height = r.bottom - r.top;
    RECT screen, area;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &screen, 0);
    if (!owner_ || !GetWindowRect(owner_, &area)) area = screen;
    const int x = std::max(screen.left, std::min(area.left + (area.right - area.left - width) / 2, screen.right - width));
    const int y = std::max(screen.top, std::min(area.top + (area.bottom - area.top - height) / 2, screen.bottom - height));
    return RECT{x, y, x + width, y + height};
}

void TModalWindow::SetClientSize(int clientWidth, int clientHeight)
{
    const RECT at = Placement(clientWidth, clientHeight);
    SetWindowPos(window_.get(), nullptr, at.left, at.top, at.right - at.left, at.bottom - at.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

int TModalWindow::TextWidth(const std::wstring& text) const
{
    const UniqueDC dc(CreateCompatibleDC(nullptr));
    const ScopedSelect select(dc.get(), font_.get());
    SIZE size{};
    GetTextExtentPoint32W(dc.get(), text.c_str(), static_cast<int>(text.size()), &size);
    return size.cx;
}

// The window goes after the derived part: it must not reach it any more.
TModalWindow::~TModalWindow()
{
    if (window_) SetWindowLongPtrW(window_.get(), GWLP_USERDATA, 0);
}

HWND TModalWindow::AddChild(const wchar_t* className, const std::wstring& text, DWORD style, int x, int y, int width,
                            int height, int id, DWORD exStyle)
{
    HWND child = CreateWindowExW(exStyle, className, text.c_str(), WS_CHILD | WS_VISIBLE | style, x, y, width, height,
                                 window_.get(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                 GetModuleHandleW(nullptr), nullptr);
    SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    return child;
}

void TModalWindow::ShowModal()
{
    const bool ownerWasEnabled = owner_ && IsWindowEnabled(owner_);
    if (ownerWasEnabled) EnableWindow(owner_, FALSE);
    ShowWindow(window_.get(), SW_SHOW);
    if (const HWND first = GetNextDlgTabItem(window_.get(), nullptr, FALSE)) SetFocus(first);  // typing goes there
    MSG message;
    while (!closed_) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got <= 0) {
            PostQuitMessage(got == 0 ? static_cast<int>(message.wParam) : 0);
            break;
        }
        if (IsDialogMessageW(window_.get(), &message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    if (ownerWasEnabled) {
        EnableWindow(owner_, TRUE);
        SetActiveWindow(owner_);
    }
    ShowWindow(window_.get(), SW_HIDE);
}

LRESULT CALLBACK TModalWindow::WindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam)
{
    auto* self = reinterpret_cast<TModalWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self) {
        if (msg == WM_CLOSE) {
            self->Close();
            return 0;
        }
        LRESULT result = 0;
        if (self->HandleMessage(msg, wParam, lParam, result)) return result;
    }
    return DefWindowProcW(window, msg, wParam, lParam);
}
