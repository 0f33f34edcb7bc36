// The windows as the screen shows them: pixels read back from the display (the
// root window under Wine), not from a window's own picture, so that a window
// that is drawn but never reaches the screen fails here.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "app/main_form.h"
#include "framework/application.h"
#include "framework/timer.h"
#include "framework/win32/directory_chooser_win32.h"
#include "framework/win32/handles.h"
#include "framework/win32/help_window.h"
#include "framework/win32/wide.h"
#include "framework/win32/win32_platform.h"
#include "test_support.h"

namespace {

std::uint32_t Pixel(COLORREF color)
{
    return std::uint32_t(GetRValue(color)) << 16 | std::uint32_t(GetGValue(color)) << 8 | GetBValue(color);
}

// A rectangle of the screen, read from the display itself.
class ScreenArea {
public:
    explicit ScreenArea(const RECT& at) : width_(at.right - at.left), height_(at.bottom - at.top)
    {
        const UniqueDC screen(CreateDCW(L"DISPLAY", nullptr, nullptr, nullptr));
        const UniqueDC memory(CreateCompatibleDC(screen.get()));
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), width_, -height_, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        const UniqueGdiObject dib(CreateDIBSection(memory.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        const ScopedSelect select(memory.get(), dib.get());
        BitBlt(memory.get(), 0, 0, width_, height_, screen.get(), at.left, at.top, SRCCOPY);
        GdiFlush();
        const auto* first = static_cast<const std::uint32_t*>(bits);
        pixels_.assign(first, first + std::size_t(width_) * std::size_t(height_));
        for (std::uint32_t& p : pixels_) p &= 0xFFFFFF;
    }
    // The share of pixels of this colour, and of pixels far from it (ink).
    double Share(std::uint32_t color) const { return double(Count(color, true)) / double(pixels_.size()); }
    double Ink(std::uint32_t color) const { return double(Count(color, false)) / double(pixels_.size()); }
    const std::vector<std::uint32_t>& Pixels() const { return pixels_; }

private:
    std::size_t Count(std::uint32_t color, bool same) const
    {
        std::size_t n = 0;
        for (std::uint32_t p : pixels_) {
            int distance = 0;
            for (int shift = 0; shift < 24; shift += 8)
                distance += std::abs(int(p >> shift & 0xFF) - int(color >> shift & 0xFF));
            n += same ? distance == 0 : distance > 192;
        }
        return n;
    }
    int width_, height_;
    std::vector<std::uint32_t> pixels_;
};

RECT ScreenRect(HWND window)
{
    RECT r{};
    GetWindowRect(window, &r);
    return r;
}

// A control as the screen shows it: mostly its background, with some ink (its
// text or lines) on it.
bool Drawn(HWND control, int backgroundIndex)
{
    if (!control || !IsWindowVisible(control)) return false;
    const ScreenArea area(ScreenRect(control));
    const std::uint32_t background = Pixel(GetSysColor(backgroundIndex));
    return area.Share(background) > 0.4 && area.Ink(background) > 0.005;
}

HWND ChildOfClass(HWND parent, const wchar_t* className, const wchar_t* text = nullptr)
{
    HWND child = nullptr;
    while ((child = FindWindowExW(parent, child, className, text)))
        if (IsWindowVisible(child)) return child;
    return nullptr;
}

BOOL CALLBACK FindMessageBox(HWND window, LPARAM result)
{
    wchar_t name[16] = {};
    GetClassNameW(window, name, 16);
    if (std::wstring(name) != L"#32770" || !IsWindowVisible(window)) return TRUE;
    *reinterpret_cast<HWND*>(result) = window;
    return FALSE;
}

HWND OpenMessageBox()
{
    HWND found = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), &FindMessageBox, reinterpret_cast<LPARAM>(&found));
    return found;
}

// Runs a modal window's loop with a timer in it. At each tick the next step
// looks at the screen; one that does not see what it waits for yet (the display
// may lag behind the windows) returns false and looks again at the next tick,
// within a bound. The last step closes the window; one that never gets that far
// is closed all the same, and fails the test.
void RunSteps(TModalWindow& window, const std::vector<std::function<bool()>>& steps)
{
    std::size_t next = 0;
    int ticks = 0;
    TTimer timer;
    timer.SetInterval(250);
    timer.OnTimer = [&](TTimer&) {
        if (next < steps.size() && steps[next]()) ++next;
        if (++ticks <= 60) return;
        if (const HWND box = OpenMessageBox()) PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDNO, BN_CLICKED), 0);
        PostMessageW(window.Handle(), WM_CLOSE, 0, 0);
    };
    timer.SetEnabled(true);
    window.ShowModal();
    EXPECT_EQ(next, steps.size()) << "step " << next << " never saw the screen it waited for";
}

class OnScreen : public ::testing::Test {
protected:
    void SetUp() override
    {
        InstallWin32Platform();
        Application().SetDialogs(MakeWin32Dialogs());
        Application().Terminated = false;
    }
};

}  // namespace

TEST_F(OnScreen, TheDirectoryChooserAndItsQuestionReachTheScreen)
{
    const std::string base = ScratchDir("chooser_on_screen");
    TDirectoryChooserWindow chooser("ﾃﾞｨﾚｸﾄﾘの選択", base, nullptr);
    const HWND window = chooser.Handle();
    const auto button = [&](const char* caption) {
        return ChildOfClass(window, L"Button", Utf8ToWide(caption).c_str());
    };
    HWND question = nullptr;
    RECT questionAt{};
    std::vector<std::uint32_t> questionPixels;
    RunSteps(chooser, {[&] {
                           if (!Drawn(chooser.PathEdit(), COLOR_WINDOW) || !Drawn(chooser.Tree(), COLOR_WINDOW) ||
                               !Drawn(button("OK"), COLOR_BTNFACE) || !Drawn(button("キャンセル"), COLOR_BTNFACE) ||
                               !Drawn(button("ヘルプ"), COLOR_BTNFACE))
                               return false;
                           EXPECT_EQ(GetFocus(), chooser.PathEdit());
                           SetWindowTextW(chooser.PathEdit(), Utf8ToWide(base + "\\missing").c_str());
                           PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
                           return true;
                       },
                       [&] {
                           // The question, with its two buttons, over the chooser.
                           question = OpenMessageBox();
                           int buttons = 0;
                           for (HWND b = nullptr; question && (b = FindWindowExW(question, b, L"Button", nullptr));)
                               buttons += Drawn(b, COLOR_BTNFACE);
                           if (buttons != 2) return false;
                           questionAt = ScreenRect(question);
                           questionPixels = ScreenArea(questionAt).Pixels();
                           PostMessageW(question, WM_COMMAND, MAKEWPARAM(IDNO, BN_CLICKED), 0);  // No keeps it open
                           return true;
                       },
                       [&] {
                           // Where the question stood, the chooser shows again.
                           if (OpenMessageBox() || ScreenArea(questionAt).Pixels() == questionPixels ||
                               !Drawn(chooser.Tree(), COLOR_WINDOW))
                               return false;
                           PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
                           return true;
                       }});
    EXPECT_FALSE(chooser.Result());
}

TEST_F(OnScreen, TheHelpWindowReachesTheScreen)
{
    const std::string dir = ScratchDir("help_on_screen");
    const std::string text = "= 一\r\n  1. 最初の項目\r\n= コマンドラインでの切り抜き\r\nx\r\n";
    WriteAll(dir + "\\T.HLP", std::vector<std::uint8_t>(text.begin(), text.end()));
    THelpWindow help(dir + "\\T.HLP", nullptr);
    RunSteps(help, {[&] {
                 // The text is read-only, on the face colour.
                 if (!Drawn(help.Contents(), COLOR_WINDOW) || !Drawn(help.TopicText(), COLOR_BTNFACE) ||
                     !Drawn(ChildOfClass(help.Handle(), L"Button"), COLOR_BTNFACE))
                     return false;
                 PostMessageW(help.Handle(), WM_CLOSE, 0, 0);
                 return true;
             }});
}

TEST_F(OnScreen, TheMainWindowReachesTheScreen)
{
    TMainForm form;
    form.Show();
    const auto shown = [&] {
        // The preview is a black panel in a frame of the face colour.
        const ScreenArea preview(ScreenRect(form.PanelImageOut.Handle()));
        return Drawn(form.ListViewClip.Handle(), COLOR_WINDOW) && Drawn(form.ButtonRun.Handle(), COLOR_BTNFACE) &&
               preview.Share(0) > 0.5 && preview.Share(Pixel(GetSysColor(COLOR_BTNFACE))) > 0.05;
    };
    bool seen = false;
    for (int tries = 0; tries < 300 && !seen; ++tries) {
        Application().ProcessMessages();
        Sleep(50);
        seen = tries % 5 == 4 && shown();
    }
    EXPECT_TRUE(seen);
}
