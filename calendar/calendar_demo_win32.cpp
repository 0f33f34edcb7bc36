// calendar-demo: a month calendar with the holidays, scroll bars, a date label
// and a memo band, and two repeat buttons that step the month.
#include <windows.h>
#undef TextOut  // TCanvas::TextOut, not the ANSI/wide macro

#include "calendar/kx_date.h"
#include "calendar/kxv_button.h"
#include "calendar/kxv_calendar.h"
#include "framework/application.h"
#include "framework/bitmap.h"
#include "framework/exceptions.h"
#include "framework/label.h"
#include "framework/win32/bit_btn_win32.h"
#include "framework/win32/custom_grid_win32.h"
#include "framework/win32/forms.h"
#include "framework/win32/win32_platform.h"

namespace {

// A small triangle pointing left or right on a transparent ground (the
// bottom-left pixel's colour).
void DrawArrow(TBitmap& glyph, bool right)
{
    glyph.SetSize(7, 9);
    TCanvas& canvas = glyph.Canvas();
    canvas.Brush.Color = clLime;
    canvas.FillRect(Rect(0, 0, 7, 9));
    for (int x = 0; x < 5; ++x) {
        const int column = right ? 5 - x : x + 1;
        for (int y = 4 - x; y <= 4 + x; ++y) canvas.SetPixel(column, y, clNavy);
    }
}

class CalendarDemoForm : public TForm {
public:
    CalendarDemoForm()
    {
        SetCaption("カレンダー デモ");
        SetClientSize(360, 330);
        Position = poScreenCenter;
        OnClose = [](TControl&) { Application().Terminate(); };

        MonthLabel.SetBounds(96, 12, 168, 24);
        MonthLabel.Alignment = taCenter;
        MonthLabel.Font.Height = -20;
        InsertControl(MonthLabel);

        PrevButton.SetBounds(12, 10, 76, 26);
        PrevButton.SetCaption("前月");
        DrawArrow(PrevButton.Glyph(), false);
        NextButton.SetBounds(272, 10, 76, 26);
        NextButton.SetCaption("次月");
        DrawArrow(NextButton.Glyph(), true);
        for (kxvButton* button : {&PrevButton, &NextButton}) {
            button->SetRepeat(true);
            InsertControl(AttachWindow(*button));
        }
        PrevButton.OnClick = [this](TControl&) { Calendar.PrevMonth(); };
        NextButton.OnClick = [this](TControl&) { Calendar.NextMonth(); };

        InsertControl(AttachWindow(Calendar));
        Calendar.SetHoliday(true);
        Calendar.SetScrollBars(ssVertical);
        Calendar.SetMemoHeight(12);
        Calendar.SetDateLabelFormat("yyyy年 m月");
        Calendar.SetDateLabel(&MonthLabel);
        Calendar.SetBounds(12, 44, 336, 250);
        Calendar.OnDrawMemo = [this](kxvCalendar& sender, int col, TGridDrawState, const TRect& memo, int row) {
            DrawMemo(sender, col, row, memo);
        };
        Calendar.OnMouseUp = [this](TControl&, TMouseButton, TShiftState, int, int) { ShowSelection(); };
        Calendar.OnChange = [this](kxvCalendar&) { ShowSelection(); };

        SelectionLabel.SetBounds(12, 304, 336, 18);
        InsertControl(SelectionLabel);
        ShowSelection();
    }

private:
    // The memo band names holidays and marks today.
    void DrawMemo(kxvCalendar& sender, int col, int row, const TRect& memo)
    {
        const kxDate date = sender.CellToDate(col, row);
        if (date.Day == 0) return;
        const char* note = nullptr;
        TColor color = clGray;
        if (date == Today()) {
            note = "今日";
            color = clNavy;
        } else if (sender.IsHoliday(date.Month, date.Day)) {
            note = "祝日";
            color = clRed;
        } else if (WeekDay(date) == 1) {
            kxDate sunday = date;
            PrevDate(sunday);
            if (sender.IsHoliday(sunday.Month, sunday.Day)) note = "振替";
            color = clRed;
        }
        if (!note) return;
        TCanvas& canvas = sender.Canvas();
        TFont saved = canvas.Font;
        canvas.Font.Height = -10;
        canvas.Font.Color = color;
        canvas.TextOut(memo.Left + (memo.Right - memo.Left - canvas.TextWidth(note)) / 2, memo.Top, note);
        canvas.Font = saved;
    }

    void ShowSelection()
    {
        const kxDate sel = Calendar.SelDate();
        SelectionLabel.SetCaption("選択した日: " + FormatEraDate(sel.Year, sel.Month, sel.Day, true) + " (" +
                                  FormatEraDate(sel.Year, sel.Month, sel.Day, false) + ")");
    }

    TLabel MonthLabel;
    TLabel SelectionLabel;
    kxvButton PrevButton;
    kxvButton NextButton;
    kxvCalendar Calendar;
};

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    try {
        InstallWin32Platform();
        Application().Title = "カレンダー デモ";
        CalendarDemoForm form;
        form.Show();
        Application().Run();
    } catch (const Exception& error) {
        Application().ShowException(error);
    }
    return 0;
}
