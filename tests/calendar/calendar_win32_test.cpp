// The calendar grid and the repeat button in real windows, with the Win32
// message loop and timers.
#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <vector>

#include "calendar/kxv_button.h"
#include "calendar/kxv_calendar.h"
#include "framework/application.h"
#include "framework/bitmap.h"
#include "framework/clock.h"
#include "framework/win32/bit_btn_win32.h"
#include "framework/win32/custom_grid_win32.h"
#include "framework/win32/forms.h"
#include "framework/win32/win32_platform.h"

namespace {

// One window for every test (a window's start and end are slow under Wine);
// each test starts from the same settings.
struct Windows {
    Windows()
    {
        form.SetBounds(0, 0, 400, 320);
        calendarWindow = &AttachWindow(calendar);
        buttonWindow = &AttachWindow(button);
        form.InsertControl(*calendarWindow);
        form.InsertControl(*buttonWindow);
        button.SetBounds(250, 8, 80, 24);
        button.SetCaption("次月");
        form.Show();
    }
    ~Windows() { form.Close(); }
    TForm form;
    kxvCalendar calendar;
    kxvButton button;
    TWinControl* calendarWindow = nullptr;
    TWinControl* buttonWindow = nullptr;
};

struct WindowTest : ::testing::Test {
    static void SetUpTestSuite()
    {
        InstallWin32Platform();
        windows = std::make_unique<Windows>();
    }
    static void TearDownTestSuite() { windows.reset(); }

    WindowTest()
    {
        calendar.OnChange = nullptr;
        calendar.SetScrollBars(ssNone);
        calendar.SetMemoHeight(0);
        calendar.SetGridLineWidth(1);
        calendar.SetMinDate(MakeDate(1900, 1, 1));
        calendar.SetMaxDate(MakeDate(2099, 12, 31));
        calendar.SetStartOfWeek(0);
        calendar.SetOptions(calendar.Options() & ~goThumbTracking);
        calendar.SetBounds(8, 8, 200, 200);
        calendar.OnChange = [this](kxvCalendar&) { ++changes; };
        button.SetRepeat(false);
        button.SetDefault(false);
        button.OnClick = [this](TControl&) { clickTimes.push_back(MonotonicMilliseconds()); };
    }
    ~WindowTest() override
    {
        calendar.OnChange = nullptr;
        button.OnClick = nullptr;
    }

    static std::unique_ptr<Windows> windows;
    kxvCalendar& calendar = windows->calendar;
    kxvButton& button = windows->button;
    TWinControl* calendarWindow = windows->calendarWindow;
    TWinControl* buttonWindow = windows->buttonWindow;

    HWND Grid() const { return calendarWindow->Handle(); }
    LRESULT Scroll(UINT msg, int code, int position = 0)
    {
        return SendMessageW(Grid(), msg, MAKEWPARAM(code, position), 0);
    }
    void ClickCell(int col, int row)
    {
        const TRect r = calendar.CellRect(col, row);
        const LPARAM at = MAKELPARAM((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
        SendMessageW(Grid(), WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageW(Grid(), WM_LBUTTONUP, 0, at);
    }
    // Runs the message loop for a while.
    static void Pump(std::int64_t milliseconds)
    {
        const std::int64_t end = MonotonicMilliseconds() + milliseconds;
        while (MonotonicMilliseconds() < end) {
            Application().ProcessMessages();
            SleepMilliseconds(2);
        }
    }

    int changes = 0;
    std::vector<std::int64_t> clickTimes;
};

std::unique_ptr<Windows> WindowTest::windows;

}  // namespace

TEST_F(WindowTest, AprilNineteenNinetyEightInTheLocaleOfTheSystem)
{
    calendar.SetDate(MakeDate(1998, 4, 17));
    const TFormatSettings locale = DefaultFormatSettings();
    EXPECT_EQ(calendar.FirstCellOffset(), -2);
    EXPECT_EQ(calendar.GetCellText(0, 0), locale.ShortDayNames[0]);
    EXPECT_EQ(calendar.CellToDate(3, 1), MakeDate(1998, 4, 1));
    calendar.SetStartOfWeek(1);
    EXPECT_EQ(calendar.FirstCellOffset(), -1);
    EXPECT_EQ(calendar.GetCellText(0, 0), locale.ShortDayNames[1]);
    EXPECT_EQ(calendar.CellToDate(2, 1), MakeDate(1998, 4, 1));

    // The window shows the grid: day numbers are drawn in the day cells.
    TBitmap image;
    calendarWindow->PaintClientTo(image);
    const TRect first = calendar.CellRect(2, 1);
    int inked = 0;
    for (int y = first.Top; y < first.Bottom; ++y)
        for (int x = first.Left; x < first.Right; ++x)
            if (image.Canvas().Pixel(x, y) != ColorToRGB(clWindow)) ++inked;
    EXPECT_GT(inked, 3);
    const TRect blank = calendar.CellRect(1, 1);
    for (int y = blank.Top; y < blank.Bottom; ++y)
        for (int x = blank.Left; x < blank.Right; ++x)
            ASSERT_EQ(image.Canvas().Pixel(x, y), ColorToRGB(clWindow)) << x << "," << y;
}

TEST_F(WindowTest, NextMonthStopsAtTheEndOfTheRange)
{
    calendar.SetDate(MakeDate(2099, 12, 1));
    changes = 0;
    calendar.NextMonth();
    EXPECT_EQ(calendar.Date(), MakeDate(2099, 12, 1));
    EXPECT_EQ(changes, 0);
}

TEST_F(WindowTest, ScrollBarsMoveTheMonth)
{
    calendar.SetScrollBars(ssBoth);
    calendar.SetDate(MakeDate(1998, 4, 1));
    EXPECT_NE(GetWindowLongPtrW(Grid(), GWL_STYLE) & WS_VSCROLL, 0);
    EXPECT_EQ(GetScrollPos(Grid(), SB_VERT), 1998 * 12 + 3);
    int min = 0, max = 0;
    GetScrollRange(Grid(), SB_HORZ, &min, &max);
    EXPECT_EQ(min, 1900 * 12);
    EXPECT_EQ(max, 2099 * 12 + 11);

    changes = 0;
    Scroll(WM_VSCROLL, SB_THUMBPOSITION, 23987);
    EXPECT_EQ(calendar.Date(), MakeDate(1998, 12, 1));
    EXPECT_EQ(GetScrollPos(Grid(), SB_VERT), 23987);
    EXPECT_EQ(GetScrollPos(Grid(), SB_HORZ), 23987);
    Scroll(WM_HSCROLL, SB_LINEDOWN);
    EXPECT_EQ(calendar.Date(), MakeDate(1999, 1, 1));
    Scroll(WM_HSCROLL, SB_LINEUP);
    Scroll(WM_VSCROLL, SB_PAGEUP);
    EXPECT_EQ(calendar.Date(), MakeDate(1997, 12, 1));
    Scroll(WM_VSCROLL, SB_PAGEDOWN);
    EXPECT_EQ(calendar.Date(), MakeDate(1998, 12, 1));
    Scroll(WM_VSCROLL, SB_THUMBTRACK, 1900 * 12 + 5);  // no thumb tracking
    EXPECT_EQ(calendar.Date(), MakeDate(1998, 12, 1));
    Scroll(WM_VSCROLL, SB_TOP);
    EXPECT_EQ(calendar.Date(), MakeDate(1900, 1, 1));
    Scroll(WM_VSCROLL, SB_BOTTOM);
    EXPECT_EQ(calendar.Date(), MakeDate(2099, 12, 1));
    Scroll(WM_VSCROLL, SB_ENDSCROLL);
    EXPECT_EQ(changes, 7);
    EXPECT_EQ(GetScrollPos(Grid(), SB_VERT), 2099 * 12 + 11);

    calendar.SetOptions(calendar.Options() | goThumbTracking);
    Scroll(WM_VSCROLL, SB_THUMBTRACK, 1900 * 12 + 5);
    EXPECT_EQ(calendar.Date(), MakeDate(1900, 6, 1));

    calendar.SetScrollBars(ssNone);
    EXPECT_EQ(GetWindowLongPtrW(Grid(), GWL_STYLE) & (WS_VSCROLL | WS_HSCROLL), 0);
}

TEST_F(WindowTest, AClickOnABlankCellIsRefused)
{
    calendar.SetDate(MakeDate(1998, 4, 1));
    calendar.SetSelDate(MakeDate(1998, 4, 17));
    ClickCell(0, 1);
    EXPECT_EQ(calendar.SelDate(), MakeDate(1998, 4, 17));
    EXPECT_EQ(calendar.Col(), 5);
    EXPECT_EQ(calendar.Row(), 3);
    ClickCell(4, 1);
    EXPECT_EQ(calendar.SelDate(), MakeDate(1998, 4, 2));
    EXPECT_EQ(calendar.Col(), 4);
    EXPECT_EQ(calendar.Row(), 1);
}

TEST_F(WindowTest, CalcSizeFitsTheWindowsFrame)
{
    calendar.SetMemoHeight(10);
    calendar.SetBounds(8, 8, 200, 200);
    ASSERT_EQ(GetSystemMetrics(SM_CXEDGE), 2);  // the example's 4 pixels of frame
    EXPECT_EQ(calendar.Height(), 197);
    EXPECT_EQ(calendar.RowHeights(1), 28);
    RECT window{}, client{};
    GetWindowRect(Grid(), &window);
    GetClientRect(Grid(), &client);
    EXPECT_EQ(window.bottom - window.top, 197);
    EXPECT_EQ(client.bottom, calendar.ClientHeight());
    EXPECT_EQ(client.right, calendar.ClientWidth());
    EXPECT_EQ(client.bottom, 18 + 6 * 28 + 7);
}

TEST_F(WindowTest, HeldButtonRepeatsItsClick)
{
    button.SetRepeat(true);
    const LPARAM at = MAKELPARAM(10, 10);
    const std::int64_t pressed = MonotonicMilliseconds();
    SendMessageW(buttonWindow->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    EXPECT_EQ(GetCapture(), buttonWindow->Handle());
    // Held until three repeats came (the bound is only for a repeat that never comes).
    for (int i = 0; i < 600 && clickTimes.size() < 3; ++i) Pump(33);
    const std::vector<std::int64_t> repeated = clickTimes;
    SendMessageW(buttonWindow->Handle(), WM_LBUTTONUP, 0, at);
    EXPECT_EQ(clickTimes.size(), repeated.size() + 1);  // the ordinary click
    Pump(300);
    EXPECT_EQ(clickTimes.size(), repeated.size() + 1);

    // A loaded machine may deliver ticks late, or two close together after a
    // late one, but never one before its earliest moment.
    ASSERT_EQ(repeated.size(), 3u);
    constexpr std::int64_t kTimerTick = 16;  // a timer may end this much early by a finer clock
    for (std::size_t i = 0; i < repeated.size(); ++i)
        EXPECT_GE(repeated[i] - pressed, button.FirstInterval() + std::int64_t(i) * button.NextInterval() - kTimerTick)
            << i;
}

TEST_F(WindowTest, RepeatStopsWhenTheCaptureIsLost)
{
    button.SetRepeat(true);
    const LPARAM at = MAKELPARAM(10, 10);
    SendMessageW(buttonWindow->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    Pump(550);
    const std::size_t before = clickTimes.size();
    EXPECT_GE(before, 1u);
    ReleaseCapture();
    Pump(300);
    EXPECT_EQ(clickTimes.size(), before);
    SendMessageW(buttonWindow->Handle(), WM_LBUTTONUP, 0, at);
    EXPECT_EQ(clickTimes.size(), before);
}

TEST_F(WindowTest, WithoutRepeatAHeldButtonClicksOnce)
{
    const LPARAM at = MAKELPARAM(10, 10);
    SendMessageW(buttonWindow->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    Pump(700);
    EXPECT_TRUE(clickTimes.empty());
    // (The shared button may keep a timer from an earlier test; it stays off.)
    EXPECT_TRUE(button.Timer() == nullptr || !button.Timer()->Enabled());
    SendMessageW(buttonWindow->Handle(), WM_LBUTTONUP, 0, at);
    EXPECT_EQ(clickTimes.size(), 1u);
}

TEST_F(WindowTest, WiderGridLinesRefitTheWindow)
{
    calendar.SetMemoHeight(10);
    calendar.SetBounds(8, 8, 200, 200);
    calendar.SetGridLineWidth(2);
    int width = 0, height = 0;
    calendar.CalcSize(width, height);
    EXPECT_EQ(calendar.Width(), width);
    EXPECT_EQ(calendar.Height(), height);
    RECT window{}, client{};
    GetWindowRect(Grid(), &window);
    GetClientRect(Grid(), &client);
    EXPECT_EQ(window.right - window.left, width);
    EXPECT_EQ(window.bottom - window.top, height);
    const TRect last = calendar.CellRect(6, 6);
    EXPECT_EQ(last.Right + 2, client.right);
    EXPECT_EQ(last.Bottom + 2, client.bottom);
}

TEST_F(WindowTest, TheScrollRangeFollowsTheDateRange)
{
    calendar.SetScrollBars(ssBoth);
    calendar.SetDate(MakeDate(2000, 6, 1));
    calendar.SetMinDate(MakeDate(1990, 3, 15));
    calendar.SetMaxDate(MakeDate(2010, 10, 1));
    for (int bar : {SB_HORZ, SB_VERT}) {
        int min = 0, max = 0;
        GetScrollRange(Grid(), bar, &min, &max);
        EXPECT_EQ(min, 1990 * 12 + 2);
        EXPECT_EQ(max, 2010 * 12 + 9);
        EXPECT_EQ(GetScrollPos(Grid(), bar), 2000 * 12 + 5);
    }
}

// Bounded by order, not by the time that passed: a busy machine only delays a
// timer, so each repeat is checked against the earliest moment it may come
// (the first interval, then one next interval each), and none may follow the
// key-up.
TEST_F(WindowTest, HeldSpaceRepeatsTheClickUntilKeyUp)
{
    button.SetRepeat(true);
    SetFocus(buttonWindow->Handle());
    ASSERT_EQ(GetFocus(), buttonWindow->Handle());
    // The focus is drawn: the outline's first dot is the button face inverted.
    TBitmap image;
    buttonWindow->PaintClientTo(image);
    EXPECT_EQ(image.Canvas().Pixel(3, 3), ColorToRGB(clBtnFace) ^ 0xFFFFFF);

    const LPARAM first = 1;
    const LPARAM repeated = 1 | (1 << 30);
    const std::int64_t pressed = MonotonicMilliseconds();
    SendMessageW(buttonWindow->Handle(), WM_KEYDOWN, VK_SPACE, first);
    EXPECT_EQ(GetCapture(), buttonWindow->Handle());
    // The keyboard repeats the held key meanwhile, until three repeats came
    // (the bound is only for a repeat that never comes).
    for (int i = 0; i < 600 && clickTimes.size() < 3; ++i) {
        SendMessageW(buttonWindow->Handle(), WM_KEYDOWN, VK_SPACE, repeated);
        Pump(33);
    }
    const std::vector<std::int64_t> held = clickTimes;
    SendMessageW(buttonWindow->Handle(), WM_KEYUP, VK_SPACE, first | (1u << 30) | (1u << 31));
    EXPECT_EQ(clickTimes.size(), held.size() + 1);  // the ordinary click
    EXPECT_EQ(GetCapture(), nullptr);
    Pump(300);
    EXPECT_EQ(clickTimes.size(), held.size() + 1);

    ASSERT_EQ(held.size(), 3u);
    EXPECT_EQ(button.Timer()->Interval(), unsigned(button.NextInterval()));
    constexpr std::int64_t kTimerTick = 16;  // a timer may end this much early by a finer clock
    for (std::size_t i = 0; i < held.size(); ++i)
        EXPECT_GE(held[i] - pressed, button.FirstInterval() + std::int64_t(i) * button.NextInterval() - kTimerTick)
            << i;
}

TEST_F(WindowTest, EnterClicksTheFocusedOrTheDefaultButton)
{
    // Keys go through the message loop, where the form sees them first.
    auto enter = [](HWND window, LPARAM flags) {
        PostMessageW(window, WM_KEYDOWN, VK_RETURN, 1 | flags);
        Application().ProcessMessages();
    };
    SetFocus(Grid());
    enter(Grid(), 0);
    EXPECT_TRUE(clickTimes.empty());
    button.SetDefault(true);
    enter(Grid(), 0);
    EXPECT_EQ(clickTimes.size(), 1u);
    enter(Grid(), 1 << 30);  // a held Enter clicks once
    EXPECT_EQ(clickTimes.size(), 1u);

    button.SetDefault(false);
    SetFocus(buttonWindow->Handle());
    enter(buttonWindow->Handle(), 0);
    EXPECT_EQ(clickTimes.size(), 2u);
    SetFocus(Grid());
}
