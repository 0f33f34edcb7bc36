#pragma once
// kxvCalendar: a month calendar drawn as a grid of one header row with the
// weekday names and six rows of days, seven columns wide, with an optional memo
// band at the bottom of each day cell that the owner paints. It keeps a
// selected date, limits navigation to a date range, colours weekdays and
// holidays, can write the shown month into a label and moves by month or year
// through its scroll bars.
#include <functional>
#include <string>

#include "calendar/format_settings.h"
#include "calendar/holiday_set.h"
#include "calendar/kx_date.h"
#include "calendar/kxv_color_of_week.h"
#include "framework/custom_grid.h"
#include "framework/label.h"

class kxvCalendar : public TCustomGrid {
public:
    kxvCalendar();
    ~kxvCalendar() override;

    // Size: a requested width and height (0 keeps the current column width or
    // row heights) are rounded down to whole columns and rows; the column width
    // and row heights are set and the resulting size returned.
    void CalcSize(int& width, int& height);
    void SetBounds(int left, int top, int width, int height) override;
    // Fits the current size again after a change of anything that enters
    // CalcSize (frame, scroll bars, grid lines, memo height, font).
    void SetWidthHeight();

    kxDate CellToDate(int col, int row) const;
    bool DateToCell(const kxDate& date, int& col, int& row) const;
    std::string GetCellText(int col, int row) const;
    int FirstCellOffset() const { return offset_; }

    void SelectDay();
    void UpdateCalendar();
    void UpdateScrollBar();
    // Both scroll bars span the months from MinDate to MaxDate.
    void SetScrollRange();
    void PrevMonth();
    void NextMonth();
    void Change();

    // The shown month (its day is always 1).
    const kxDate& Date() const { return shown_; }
    int GetYear() const { return shown_.Year; }
    int Month() const { return shown_.Month; }
    void SetYear(int year);
    void SetMonth(int month);
    void SetDay(int day);
    void SetDate(const kxDate& date);
    const kxDate& SelDate() const { return selDate_; }
    void SetSelDate(const kxDate& date);
    const kxDate& MinDate() const { return minDate_; }
    void SetMinDate(const kxDate& date);
    const kxDate& MaxDate() const { return maxDate_; }
    void SetMaxDate(const kxDate& date);
    // The range as text, without eras; text that does not name a whole valid
    // date is ignored.
    std::string MinDateText() const;
    void SetMinDateText(const std::string& text);
    std::string MaxDateText() const;
    void SetMaxDateText(const std::string& text);

    bool FillCell() const { return fillCell_; }
    void SetFillCell(bool fillCell);
    int StartOfWeek() const { return startOfWeek_; }
    void SetStartOfWeek(int weekday);
    bool Holiday() const { return holiday_; }
    void SetHoliday(bool on);
    TColor ColorOfHoliday() const { return colorOfHoliday_; }
    void SetColorOfHoliday(TColor color);
    kxvColorOfWeek& ColorOfWeek() { return colorOfWeek_; }
    void SetColorOfWeek(const kxvColorOfWeek& colors) { colorOfWeek_ = colors; }
    int MemoHeight() const { return memoHeight_; }
    void SetMemoHeight(int height);
    // The label is not owned and must outlive its use here.
    TLabel* DateLabel() const { return dateLabel_; }
    void SetDateLabel(TLabel* label);
    const std::string& DateLabelFormat() const { return dateLabelFormat_; }
    void SetDateLabelFormat(const std::string& format);
    void SetBorderStyle(TBorderStyle style) override;
    void SetCtl3D(bool ctl3D) override;
    void SetScrollBars(TScrollStyle scrollBars) override;
    void SetGridLineWidth(int width) override;
    void SetFont(const TFont& font) override;
    // The locale's date separator and weekday names (the platform's by default).
    const TFormatSettings& FormatSettings() const { return settings_; }
    void SetFormatSettings(const TFormatSettings& settings);

    // Holidays: one bit per month and day, the same in every year.
    void SetHoliday(int month, int day, bool on) { holidays_.SetHoliday(month, day, on); }
    bool IsHoliday(int month, int day) const { return holidays_.IsHoliday(month, day); }
    void ClearHoliday() { holidays_.Clear(); }
    // The vernal equinox day of the shown year.
    void SetEquinoxDay() { holidays_.SetEquinoxDay(shown_.Year); }

    void Scroll(TScrollBarKind kind, TScrollCode code, int position) override;

    std::function<void(kxvCalendar& sender, int col, int row, bool& canSelect)> OnSelectCell;
    std::function<void(kxvCalendar& sender)> OnChange;
    std::function<void(kxvCalendar& sender, int col, TGridDrawState state, const TRect& rect, int row)> OnDrawCell;
    std::function<void(kxvCalendar& sender, int col, TGridDrawState state, const TRect& memoRect, int row)> OnDrawMemo;

protected:
    void DrawCell(TCanvas& canvas, int col, int row, const TRect& rect, TGridDrawState state) override;
    bool SelectCell(int col, int row) override;

private:
    // Shows the month of `date` (day 1); recomputes the equinox day when the
    // year changes. Returns whether the shown month changed.
    bool ShowMonth(kxDate date);
    kxDate Clamped(kxDate date) const;
    kxDate shown_;
    kxDate selDate_;
    kxDate minDate_ = MakeDate(1900, 1, 1);
    kxDate maxDate_ = MakeDate(2099, 12, 31);
    int offset_ = 1;
    kxHolidaySet holidays_;
    bool fillCell_ = false;
    int startOfWeek_ = 0;
    bool holiday_ = false;
    TColor colorOfHoliday_ = clRed;
    kxvColorOfWeek colorOfWeek_;
    int memoHeight_ = 0;
    TLabel* dateLabel_ = nullptr;
    std::string dateLabelFormat_ = "yyyy/mm";
    TFormatSettings settings_;
};
