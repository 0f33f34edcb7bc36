#include "calendar/kxv_calendar.h"

#include <algorithm>

kxvCalendar::kxvCalendar() : settings_(DefaultFormatSettings())
{
    SetColCount(7);
    SetRowCount(7);
    SetFixedRows(1);
    SetFixedCols(0);
    SetDefaultColWidth(24);
    SetDefaultRowHeight(16);
    for (int i = 0; i <= 12; ++i) holidays_.Word(i).OnChange = [this](kxvFlag&) { Invalidate(); };
    colorOfWeek_.OnChange = [this](kxvColorOfWeek&) { Invalidate(); };

    const kxDate today = Today();
    selDate_ = today;
    shown_ = Clamped(MakeDate(today.Year, today.Month, 1));
    shown_.Day = 1;
    // The size of 7 columns of 24 and 7 rows of 16.
    int width = 0;
    int height = 0;
    CalcSize(width, height);
    TCustomGrid::SetBounds(Left(), Top(), width, height);
    UpdateCalendar();
}

kxvCalendar::~kxvCalendar() = default;

void kxvCalendar::CalcSize(int& width, int& height)
{
    const TFrameMetrics metrics = Metrics();
    const int f = FrameSize();
    const int hs = HasScrollBar(sbHorizontal) ? metrics.HScrollHeight : 0;
    const int vs = HasScrollBar(sbVertical) ? metrics.VScrollWidth : 0;
    const int g = 7 * GridLineWidth();
    if (width != 0) SetDefaultColWidth(std::max(0, (width - g - vs - f) / 7));
    if (height != 0) {
        const int e = std::max(0, (height - g - 6 * memoHeight_ - hs - f) / 7);
        SetRowHeights(0, e);
        for (int row = 1; row < 7; ++row) SetRowHeights(row, e + memoHeight_);
    }
    width = g + 7 * DefaultColWidth() + f + vs;
    height = RowHeights(0) + 6 * RowHeights(1) + g + f + hs;
}

void kxvCalendar::SetBounds(int left, int top, int width, int height)
{
    CalcSize(width, height);
    TCustomGrid::SetBounds(left, top, width, height);
}

void kxvCalendar::SetWidthHeight()
{
    SetBounds(Left(), Top(), Width(), Height());
}

kxDate kxvCalendar::CellToDate(int col, int row) const
{
    if (row <= 0) return {};
    kxDate date;
    DateFromDayNumber(DayNumber(shown_) + col + 7 * row + offset_ - 8, date);
    if (!fillCell_ && date.Month != shown_.Month) return {};
    return date;
}

bool kxvCalendar::DateToCell(const kxDate& date, int& col, int& row) const
{
    const std::int32_t b = DayNumber(date) - (DayNumber(shown_) + offset_ - 1);
    if (b < 0 || b > 41 || (!fillCell_ && date.Month != shown_.Month)) {
        col = row = -1;
        return false;
    }
    col = b % 7;
    row = b / 7 + 1;
    return true;
}

std::string kxvCalendar::GetCellText(int col, int row) const
{
    if (row == 0) return settings_.ShortDayNames[static_cast<std::size_t>((startOfWeek_ + col) % 7)];
    const kxDate date = CellToDate(col, row);
    return date.Day == 0 ? std::string() : std::to_string(date.Day);
}

void kxvCalendar::DrawCell(TCanvas& canvas, int col, int row, const TRect& rect, TGridDrawState state)
{
    const std::string text = GetCellText(col, row);
    const kxDate date = CellToDate(col, row);
    canvas.Brush.Style = bsSolid;
    if (!text.empty() && row > 0 && date == selDate_) {
        canvas.Font.Color = ColorToRGB(clHighlightText);
        canvas.Brush.Color = ColorToRGB(clHighlight);
        state |= gdSelected;
    } else {
        canvas.Brush.Color = ColorToRGB(row == 0 ? FixedColor() : Color());
        if (!text.empty()) {
            const bool holiday = row > 0 && colorOfHoliday_ != clNone && holidays_.IsColouredHoliday(date);
            canvas.Font.Color = ColorToRGB(holiday ? colorOfHoliday_ : colorOfWeek_.Color(startOfWeek_ + col));
        }
    }
    canvas.FillRect(rect);
    if (!text.empty()) {
        const int textHeight = (rect.Bottom - rect.Top) - (row > 0 ? memoHeight_ : 0);
        canvas.TextOut(rect.Left + (rect.Right - rect.Left - canvas.TextWidth(text)) / 2,
                       rect.Top + (textHeight - canvas.TextHeight(text)) / 2, text);
    }
    if (OnDrawCell) OnDrawCell(*this, col, state, rect, row);
    if (OnDrawMemo && row > 0) OnDrawMemo(*this, col, state, Rect(rect.Left, rect.Bottom - memoHeight_, rect.Right, rect.Bottom), row);
}

bool kxvCalendar::SelectCell(int col, int row)
{
    const kxDate date = CellToDate(col, row);
    if (date == kxDate{}) return false;
    bool canSelect = true;
    if (OnSelectCell) OnSelectCell(*this, col, row, canSelect);
    if (!canSelect) return false;
    if (date != selDate_) {
        selDate_ = date;
        SelectDay();
        Invalidate();
    }
    return true;
}

void kxvCalendar::SelectDay()
{
    int col = 0;
    int row = 0;
    if (DateToCell(selDate_, col, row)) MoveCurrent(col, row);
}

void kxvCalendar::UpdateCalendar()
{
    const int w = WeekDay(shown_);
    offset_ = 1 - ((w - startOfWeek_ + 7) % 7);
    SelectDay();
    UpdateScrollBar();
    if (dateLabel_) dateLabel_->SetCaption(FormatDate(dateLabelFormat_, shown_, settings_));
    Invalidate();
}

void kxvCalendar::UpdateScrollBar()
{
    SetScrollRange();
    const int position = shown_.Year * 12 + shown_.Month - 1;
    SetScrollBarPosition(sbHorizontal, position);
    SetScrollBarPosition(sbVertical, position);
}

void kxvCalendar::SetScrollRange()
{
    const int min = minDate_.Year * 12 + minDate_.Month - 1;
    const int max = maxDate_.Year * 12 + maxDate_.Month - 1;
    SetScrollBarRange(sbHorizontal, min, max);
    SetScrollBarRange(sbVertical, min, max);
}

kxDate kxvCalendar::Clamped(kxDate date) const
{
    if (DayNumber(date) > DayNumber(maxDate_)) date = maxDate_;
    if (DayNumber(date) < DayNumber(minDate_)) date = minDate_;
    return date;
}

bool kxvCalendar::ShowMonth(kxDate date)
{
    date.Day = 1;
    if (date == shown_) return false;
    const bool newYear = date.Year != shown_.Year;
    shown_ = date;
    if (newYear && holiday_) SetEquinoxDay();
    UpdateCalendar();
    return true;
}

void kxvCalendar::NextMonth()
{
    kxDate date = shown_;
    NextMonthDate(date);
    if (DayNumber(date) > DayNumber(maxDate_)) date = maxDate_;
    if (ShowMonth(date)) Change();
}

void kxvCalendar::PrevMonth()
{
    kxDate date = shown_;
    PrevMonthDate(date);
    if (DayNumber(date) < DayNumber(minDate_)) date = minDate_;
    if (ShowMonth(date)) Change();
}

void kxvCalendar::Change()
{
    if (OnChange) OnChange(*this);
}

void kxvCalendar::SetYear(int year)
{
    if (year == shown_.Year || year <= 0 || year > 0xFFFF) return;
    kxDate date = shown_;
    date.Year = static_cast<std::uint16_t>(year);
    ShowMonth(date);
    Change();
}

void kxvCalendar::SetMonth(int month)
{
    if (month == shown_.Month || month < 1 || month > 12) return;
    kxDate date = shown_;
    date.Month = static_cast<std::uint8_t>(month);
    ShowMonth(date);
    Change();
}

void kxvCalendar::SetDate(const kxDate& date)
{
    if (!ValidDate(MakeDate(date.Year, date.Month, 1))) return;
    if (!ShowMonth(date)) UpdateCalendar();
    Change();
}

void kxvCalendar::SetDay(int day)
{
    SetSelDate(MakeDate(shown_.Year, shown_.Month, day));
}

void kxvCalendar::SetSelDate(const kxDate& date)
{
    int col = 0;
    int row = 0;
    if (!ValidDate(date) || !DateToCell(date, col, row)) return;
    if (SelectCell(col, row)) UpdateCalendar();
}

void kxvCalendar::SetMinDate(const kxDate& date)
{
    if (date == minDate_ || !ValidDate(date)) return;
    minDate_ = date;
    SetScrollRange();
    UpdateCalendar();
}

void kxvCalendar::SetMaxDate(const kxDate& date)
{
    if (date == maxDate_ || !ValidDate(date)) return;
    maxDate_ = date;
    SetScrollRange();
    UpdateCalendar();
}

std::string kxvCalendar::MinDateText() const
{
    return FormatEraDate(minDate_.Year, minDate_.Month, minDate_.Day, false, settings_);
}

void kxvCalendar::SetMinDateText(const std::string& text)
{
    SetMinDate(ParseEraDate(text, settings_));
}

std::string kxvCalendar::MaxDateText() const
{
    return FormatEraDate(maxDate_.Year, maxDate_.Month, maxDate_.Day, false, settings_);
}

void kxvCalendar::SetMaxDateText(const std::string& text)
{
    SetMaxDate(ParseEraDate(text, settings_));
}

void kxvCalendar::SetFillCell(bool fillCell)
{
    if (fillCell == fillCell_) return;
    fillCell_ = fillCell;
    UpdateCalendar();
}

void kxvCalendar::SetStartOfWeek(int weekday)
{
    weekday = ((weekday % 7) + 7) % 7;
    if (weekday == startOfWeek_) return;
    startOfWeek_ = weekday;
    UpdateCalendar();
}

void kxvCalendar::SetHoliday(bool on)
{
    if (on == holiday_) return;
    holiday_ = on;
    if (on) {
        holidays_.SetFixedHolidays();
        SetEquinoxDay();
    } else {
        ClearHoliday();
    }
    UpdateCalendar();
}

void kxvCalendar::SetColorOfHoliday(TColor color)
{
    if (color == colorOfHoliday_) return;
    colorOfHoliday_ = color;
    UpdateCalendar();
}

void kxvCalendar::SetMemoHeight(int height)
{
    height = std::max(height, 0);
    if (height == memoHeight_) return;
    memoHeight_ = height;
    SetWidthHeight();
    UpdateCalendar();
}

void kxvCalendar::SetDateLabel(TLabel* label)
{
    if (label == dateLabel_) return;
    dateLabel_ = label;
    UpdateCalendar();
}

void kxvCalendar::SetDateLabelFormat(const std::string& format)
{
    if (format == dateLabelFormat_) return;
    dateLabelFormat_ = format;
    UpdateCalendar();
}

void kxvCalendar::SetBorderStyle(TBorderStyle style)
{
    if (style == BorderStyle()) return;
    TCustomGrid::SetBorderStyle(style);
    SetWidthHeight();
    UpdateCalendar();
}

void kxvCalendar::SetCtl3D(bool ctl3D)
{
    if (ctl3D == Ctl3D()) return;
    TCustomGrid::SetCtl3D(ctl3D);
    SetWidthHeight();
    UpdateCalendar();
}

void kxvCalendar::SetScrollBars(TScrollStyle scrollBars)
{
    if (scrollBars == ScrollBars()) return;
    TCustomGrid::SetScrollBars(scrollBars);
    SetWidthHeight();
    UpdateCalendar();
}

void kxvCalendar::SetGridLineWidth(int width)
{
    if (std::max(width, 0) == GridLineWidth()) return;
    TCustomGrid::SetGridLineWidth(width);
    SetWidthHeight();
    UpdateCalendar();
}

void kxvCalendar::SetFont(const TFont& font)
{
    TCustomGrid::SetFont(font);
    SetWidthHeight();
    UpdateCalendar();
}

void kxvCalendar::SetFormatSettings(const TFormatSettings& settings)
{
    settings_ = settings;
    UpdateCalendar();
}

void kxvCalendar::Scroll(TScrollBarKind, TScrollCode code, int position)
{
    kxDate date = shown_;
    switch (code) {
    case scLineUp: PrevMonthDate(date); break;
    case scLineDown: NextMonthDate(date); break;
    case scPageUp: date.Year = static_cast<std::uint16_t>(date.Year - 1); break;
    case scPageDown: date.Year = static_cast<std::uint16_t>(date.Year + 1); break;
    case scTrack:
        if (!(Options() & goThumbTracking)) return;
        [[fallthrough]];
    case scPosition:
        if (position < 12) return;
        date = MakeDate(position / 12, position % 12 + 1, 1);
        break;
    case scTop: date = minDate_; break;
    case scBottom: date = maxDate_; break;
    case scEndScroll: break;
    }
    if (ShowMonth(Clamped(date)))
        Change();
    else
        UpdateScrollBar();
}
