#include "framework/win32/win32_platform.h"

#include <windows.h>
#include <commdlg.h>

#include <functional>
#include <map>

#include "framework/exceptions.h"
#include "framework/screen.h"
#include "framework/win32/directory_chooser_win32.h"
#include "framework/win32/forms.h"
#include "framework/win32/help_window.h"
#include "framework/win32/handles.h"
#include "framework/win32/open_dialog.h"
#include "framework/win32/wide.h"

namespace {

constexpr wchar_t kTimerWindowClass[] = L"TalvernTimers";

class Win32Backend final : public TMessageBackend {
public:
    Win32Backend()
    {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = &Win32Backend::TimerWindowProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = kTimerWindowClass;
        RegisterClassExW(&wc);
        window_.reset(CreateWindowExW(0, kTimerWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                      GetModuleHandleW(nullptr), nullptr));
        SetWindowLongPtrW(window_.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }

    void ProcessMessages() override
    {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                Application().Terminate();
                continue;
            }
            if (IsFormDialogMessage(message)) continue;
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }

    void WaitMessage() override
    {
        if (Application().Terminated) return;
        ::WaitMessage();
    }

    int StartTimer(unsigned intervalMs, std::function<void()> onTimer) override
    {
        const int id = nextId_++;
        timers_[id] = std::move(onTimer);
        SetTimer(window_.get(), static_cast<UINT_PTR>(id), intervalMs, nullptr);
        return id;
    }

    void StopTimer(int id) override
    {
        KillTimer(window_.get(), static_cast<UINT_PTR>(id));
        timers_.erase(id);
    }

    void ShowException(const Exception& error) override
    {
        MessageBoxW(GetActiveWindow(), Utf8ToWide(error.Message).c_str(), Utf8ToWide(Application().Title).c_str(),
                    MB_OK | MB_ICONERROR);
    }

private:
    static LRESULT CALLBACK TimerWindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam)
    {
        if (msg == WM_TIMER) {
            auto* self = reinterpret_cast<Win32Backend*>(GetWindowLongPtrW(window, GWLP_USERDATA));
            if (self) {
                const auto it = self->timers_.find(static_cast<int>(wParam));
                if (it != self->timers_.end()) {
                    auto callback = it->second;  // the callback may stop its own timer
                    try {
                        callback();
                    } catch (const Exception& error) {
                        self->ShowException(error);
                    }
                }
            }
            return 0;
        }
        return DefWindowProcW(window, msg, wParam, lParam);
    }

    UniqueWindow window_;
    std::map<int, std::function<void()>> timers_;
    int nextId_ = 1;
};

class Win32Dialogs final : public TDialogService {
public:
    TModalResult MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons) override
    {
        UINT flags = MB_OK;
        if ((buttons & (mbYes | mbNo | mbCancel)) == (mbYes | mbNo | mbCancel))
            flags = MB_YESNOCANCEL;
        else if ((buttons & (mbYes | mbNo)) == (mbYes | mbNo))
            flags = MB_YESNO;
        else if ((buttons & (mbOK | mbCancel)) == (mbOK | mbCancel))
            flags = MB_OKCANCEL;
        switch (type) {
        case mtError: flags |= MB_ICONERROR; break;
        case mtWarning: flags |= MB_ICONWARNING; break;
        case mtInformation: flags |= MB_ICONINFORMATION; break;
        case mtConfirmation: flags |= MB_ICONQUESTION; break;
        default: break;
        }
        return Show(text, flags);
    }

    void ShowMessage(const std::string& text) override { Show(text, MB_OK); }

    // ---- The open-file dialog
    bool ExecuteOpenDialog(TOpenDialog& dialog) override { return ExecuteOpenDialogWin32(dialog); }
    // ---- (end of the open-file dialog)

    std::optional<std::string> SelectDirectory(const std::string& title, const std::string& directory) override
    {
        TDirectoryChooserWindow chooser(title, directory, GetActiveWindow());
        return RunDirectoryChooser(chooser);
    }

    void ShowHelp(const std::string& helpFile) override
    {
        THelpWindow help(helpFile, GetActiveWindow());
        help.ShowModal();
    }

private:
    static TModalResult Show(const std::string& text, UINT flags)
    {
        switch (MessageBoxW(GetActiveWindow(), Utf8ToWide(text).c_str(), Utf8ToWide(Application().Title).c_str(),
                            flags)) {
        case IDOK: return mrOk;
        case IDYES: return mrYes;
        case IDNO: return mrNo;
        default: return mrCancel;
        }
    }
};

}  // namespace

std::unique_ptr<TMessageBackend> MakeWin32Backend() { return std::make_unique<Win32Backend>(); }
std::unique_ptr<TDialogService> MakeWin32Dialogs() { return std::make_unique<Win32Dialogs>(); }

void InstallScreenCursors()
{
    const std::pair<TCursor, const wchar_t*> systemCursors[] = {
        {crDefault, IDC_ARROW}, {crArrow, IDC_ARROW},       {crCross, IDC_CROSS},       {crIBeam, IDC_IBEAM},
        {crSizeNESW, IDC_SIZENESW}, {crSizeNS, IDC_SIZENS}, {crSizeNWSE, IDC_SIZENWSE}, {crSizeWE, IDC_SIZEWE},
        {crUpArrow, IDC_UPARROW},   {crHourGlass, IDC_WAIT}, {crDrag, IDC_ARROW},       {crSizeAll, IDC_SIZEALL},
    };
    for (const auto& [number, id] : systemCursors) Screen().SetCursorHandle(number, LoadCursorW(nullptr, id));
    Screen().OnCursorChange = [](TCursor cursor) {
        if (cursor != crDefault) {
            ::SetCursor(CursorHandleFor(cursor));
            return;
        }
        // Back to the controls' own cursors: let the window of ours under the
        // pointer choose again, as at the next move.
        POINT p;
        GetCursorPos(&p);
        HWND window = WindowFromPoint(p);
        if (!window || GetWindowThreadProcessId(window, nullptr) != GetCurrentThreadId()) return;
        const LRESULT hit = SendMessageW(window, WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y));
        SendMessageW(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(window), MAKELPARAM(hit, WM_MOUSEMOVE));
    };
}

void InstallWin32Platform()
{
    Application().SetBackend(MakeWin32Backend());
    Application().SetDialogs(MakeWin32Dialogs());
    InstallScreenCursors();
}
