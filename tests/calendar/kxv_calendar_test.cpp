#include <gtest/gtest.h>

#include <map>
#include <utility>
#include <vector>

#include "calendar/kxv_calendar.h"
#include "framework/bitmap.h"

namespace {


// A calendar with the native locale settings on a given month.
struct CalendarTest : ::testing::Test {
    CalendarTest()
    {
        calendar.SetFormatSettings(TFormatSettings{});
        calendar.SetDate(MakeDate(1998, 4, 1));
        calendar.OnChange = [this](kxvCalendar&) { ++changes; };
    }
    // The centre of a cell in client coordinates.
    std::pair<int, int> Centre(int col, int row) const
    {
        const TRect r = calendar.CellRect(col, row);
        return {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
    }
    void Click(int col, int row)
    {
        const auto [x, y] = Centre(col, row);
        TMessage down{WM_LBUTTONDOWN_, 0x0001, MakeMouseLParam(x, y), 0};
        calendar.Perform(down);
    }
    kxvCalendar calendar;
    int changes = 0;
};

}  // namespace

TEST_F(CalendarTest, DefaultsOfTheComponent)
{
    kxvCalendar fresh;
    EXPECT_EQ(fresh.ColCount(), 7);
    EXPECT_EQ(fresh.RowCount(), 7);
    EXPECT_EQ(fresh.FixedRows(), 1);
    EXPECT_EQ(fresh.FixedCols(), 0);
    EXPECT_EQ(fresh.DefaultColWidth(), 24);
    EXPECT_EQ(fresh.RowHeights(0), 16);
    EXPECT_EQ(fresh.MinDate(), MakeDate(1900, 1, 1));
    EXPECT_EQ(fresh.MaxDate(), MakeDate(2099, 12, 31));
    EXPECT_FALSE(fresh.FillCell());
    EXPECT_EQ(fresh.StartOfWeek(), 0);
    EXPECT_FALSE(fresh.Holiday());
    EXPECT_EQ(fresh.ColorOfHoliday(), clRed);
    EXPECT_EQ(fresh.ColorOfWeek().Sunday(), clRed);
    EXPECT_EQ(fresh.ColorOfWeek().Wednesday(), clWindowText);
    EXPECT_EQ(fresh.ColorOfWeek().Saturday(), clBlue);
    EXPECT_EQ(fresh.ScrollBars(), ssNone);
    EXPECT_EQ(fresh.BorderStyle(), bsSingle);
    EXPECT_TRUE(fresh.Ctl3D());
    EXPECT_EQ(fresh.MemoHeight(), 0);
    EXPECT_EQ(fresh.DateLabelFormat(), "yyyy/mm");
    EXPECT_EQ(fresh.SelDate(), Today());
    EXPECT_EQ(fresh.Date(), MakeDate(Today().Year, Today().Month, 1));
    // 7 columns of 24 and 7 grid lines inside a 3-D frame of 2 pixels a side.
    EXPECT_EQ(fresh.Width(), 7 * 24 + 7 + 4);
    EXPECT_EQ(fresh.Height(), 7 * 16 + 7 + 4);

    calendar.SetFormatSettings(TFormatSettings{});
    EXPECT_EQ(calendar.MinDateText(), "1900/01/01");
    EXPECT_EQ(calendar.MaxDateText(), "2099/12/31");
}

TEST_F(CalendarTest, AprilNineteenNinetyEightStartingOnSunday)
{
    EXPECT_EQ(calendar.FirstCellOffset(), -2);
    EXPECT_EQ(calendar.GetCellText(0, 0), "Sun");
    EXPECT_EQ(calendar.GetCellText(6, 0), "Sat");
    EXPECT_EQ(calendar.CellToDate(0, 0), kxDate{});
    for (int col = 0; col < 3; ++col) {
        EXPECT_EQ(calendar.CellToDate(col, 1), kxDate{});
        EXPECT_EQ(calendar.GetCellText(col, 1), "");
    }
    EXPECT_EQ(calendar.CellToDate(3, 1), MakeDate(1998, 4, 1));
    EXPECT_EQ(calendar.GetCellText(6, 1), "4");
    EXPECT_EQ(calendar.CellToDate(4, 5), MakeDate(1998, 4, 30));
    EXPECT_EQ(calendar.CellToDate(5, 5), kxDate{});

    int col = 0, row = 0;
    EXPECT_TRUE(calendar.DateToCell(MakeDate(1998, 4, 17), col, row));
    EXPECT_EQ(std::make_pair(col, row), std::make_pair(5, 3));
    EXPECT_FALSE(calendar.DateToCell(MakeDate(1998, 3, 31), col, row));
    EXPECT_EQ(std::make_pair(col, row), std::make_pair(-1, -1));

    calendar.SetFillCell(true);
    EXPECT_EQ(calendar.GetCellText(0, 1), "29");
    EXPECT_EQ(calendar.CellToDate(2, 1), MakeDate(1998, 3, 31));
    EXPECT_EQ(calendar.CellToDate(6, 6), MakeDate(1998, 5, 9));
    EXPECT_TRUE(calendar.DateToCell(MakeDate(1998, 3, 31), col, row));
    EXPECT_EQ(std::make_pair(col, row), std::make_pair(2, 1));
    EXPECT_TRUE(calendar.DateToCell(MakeDate(1998, 5, 9), col, row));
    EXPECT_FALSE(calendar.DateToCell(MakeDate(1998, 5, 10), col, row));
    EXPECT_FALSE(calendar.DateToCell(MakeDate(1998, 3, 28), col, row));
}

TEST_F(CalendarTest, StartOfWeekShiftsTheColumns)
{
    calendar.SetStartOfWeek(1);
    EXPECT_EQ(calendar.FirstCellOffset(), -1);
    EXPECT_EQ(calendar.GetCellText(0, 0), "Mon");
    EXPECT_EQ(calendar.GetCellText(6, 0), "Sun");
    EXPECT_EQ(calendar.CellToDate(2, 1), MakeDate(1998, 4, 1));

    calendar.SetStartOfWeek(10);  // stored modulo 7
    EXPECT_EQ(calendar.StartOfWeek(), 3);
    EXPECT_EQ(calendar.FirstCellOffset(), 1);
    EXPECT_EQ(calendar.CellToDate(0, 1), MakeDate(1998, 4, 1));

    // 1 February 1998 is a Sunday: it opens row 1.
    calendar.SetStartOfWeek(0);
    calendar.SetDate(MakeDate(1998, 2, 14));
    EXPECT_EQ(calendar.Date(), MakeDate(1998, 2, 1));
    EXPECT_EQ(calendar.FirstCellOffset(), 1);
    EXPECT_EQ(calendar.CellToDate(0, 1), MakeDate(1998, 2, 1));
}

TEST_F(CalendarTest, NavigationStaysInsideTheRange)
{
    calendar.NextMonth();
    EXPECT_EQ(calendar.Date(), MakeDate(1998, 5, 1));
    EXPECT_EQ(changes, 1);
    calendar.SetDate(MakeDate(2099, 12, 1));
    changes = 0;
    calendar.NextMonth();
    EXPECT_EQ(calendar.Date(), MakeDate(2099, 12, 1));
    EXPECT_EQ(changes, 0);

    calendar.SetDate(MakeDate(1900, 1, 1));
    changes = 0;
    calendar.PrevMonth();
    EXPECT_EQ(calendar.Date(), MakeDate(1900, 1, 1));
    EXPECT_EQ(changes, 0);

    calendar.SetDate(MakeDate(1999, 1, 1));
    calendar.PrevMonth();
    EXPECT_EQ(calendar.Date(), MakeDate(1998, 12, 1));

    // A narrower range clamps to its months.
    calendar.SetMaxDateText("1999/02/15");
    EXPECT_EQ(calendar.MaxDate(), MakeDate(1999, 2, 15));
    calendar.NextMonth();
    calendar.NextMonth();
    calendar.NextMonth();
    EXPECT_EQ(calendar.Date(), MakeDate(1999, 2, 1));
}

TEST_F(CalendarTest, ScrollRequestsMoveByMonthOrYear)
{
    calendar.SetScrollBars(ssBoth);
    const TCustomGrid::TScrollInfo& bar = calendar.ScrollInfo(sbVertical);
    EXPECT_EQ(bar.Min, 1900 * 12);
    EXPECT_EQ(bar.Max, 2099 * 12 + 11);
    EXPECT_EQ(bar.Position, 1998 * 12 + 3);

    calendar.Scroll(sbVertical, scPosition, 23987);
    EXPECT_EQ(calendar.Date(), MakeDate(1998, 12, 1));
    EXPECT_EQ(bar.Position, 23987);
    EXPECT_EQ(changes, 1);

    calendar.Scroll(sbHorizontal, scLineDown, 0);
    EXPECT_EQ(calendar.Date(), MakeDate(1999, 1, 1));
    calendar.Scroll(sbHorizontal, scLineUp, 0);
    EXPECT_EQ(calendar.Date(), MakeDate(1998, 12, 1));
    calendar.Scroll(sbVertical, scPageDown, 0);
    EXPECT_EQ(calendar.Date(), MakeDate(1999, 12, 1));
    calendar.Scroll(sbVertical, scPageUp, 0);
    calendar.Scroll(sbVertical, scPageUp, 0);
    EXPECT_EQ(calendar.Date(), MakeDate(1997, 12, 1));
    calendar.Scroll(sbVertical, scTop, 0);
    EXPECT_EQ(calendar.Date(), MakeDate(1900, 1, 1));
    calendar.Scroll(sbVertical, scBottom, 0);
    EXPECT_EQ(calendar.Date(), MakeDate(2099, 12, 1));
    EXPECT_EQ(changes, 8);

    // Past the end: clamped, no change, the position set back.
    calendar.Scroll(sbVertical, scPageDown, 0);
    calendar.Scroll(sbVertical, scPosition, 2150 * 12);
    EXPECT_EQ(calendar.Date(), MakeDate(2099, 12, 1));
    EXPECT_EQ(bar.Position, 2099 * 12 + 11);
    EXPECT_EQ(changes, 8);

    // Thumb tracking only with the grid's option.
    calendar.Scroll(sbVertical, scTrack, 23987);
    EXPECT_EQ(calendar.Date(), MakeDate(2099, 12, 1));
    calendar.SetOptions(calendar.Options() | goThumbTracking);
    calendar.Scroll(sbVertical, scTrack, 23987);
    EXPECT_EQ(calendar.Date(), MakeDate(1998, 12, 1));
}

TEST_F(CalendarTest, BlankCellsCannotBeSelected)
{
    calendar.SetSelDate(MakeDate(1998, 4, 17));
    EXPECT_EQ(calendar.SelDate(), MakeDate(1998, 4, 17));
    EXPECT_EQ(std::make_pair(calendar.Col(), calendar.Row()), std::make_pair(5, 3));

    Click(0, 1);  // before the 1st, FillCell off
    EXPECT_EQ(calendar.SelDate(), MakeDate(1998, 4, 17));
    EXPECT_EQ(std::make_pair(calendar.Col(), calendar.Row()), std::make_pair(5, 3));
    Click(2, 0);  // the header
    EXPECT_EQ(calendar.SelDate(), MakeDate(1998, 4, 17));

    Click(3, 1);
    EXPECT_EQ(calendar.SelDate(), MakeDate(1998, 4, 1));
    EXPECT_EQ(std::make_pair(calendar.Col(), calendar.Row()), std::make_pair(3, 1));

    // The owner may refuse too.
    calendar.OnSelectCell = [](kxvCalendar&, int col, int, bool& canSelect) { canSelect = col != 0; };
    Click(0, 2);
    EXPECT_EQ(calendar.SelDate(), MakeDate(1998, 4, 1));
    calendar.SetDay(10);
    EXPECT_EQ(calendar.SelDate(), MakeDate(1998, 4, 10));
    calendar.SetDay(31);  // no such day
    EXPECT_EQ(calendar.SelDate(), MakeDate(1998, 4, 10));
    calendar.SetSelDate(MakeDate(1998, 5, 1));  // not on this page
    EXPECT_EQ(calendar.SelDate(), MakeDate(1998, 4, 10));
}

TEST_F(CalendarTest, CalcSizeRoundsDownToWholeRows)
{
    calendar.SetMemoHeight(10);
    calendar.SetBounds(0, 0, 200, 200);
    EXPECT_EQ(calendar.RowHeights(0), 18);
    EXPECT_EQ(calendar.RowHeights(1), 28);
    EXPECT_EQ(calendar.RowHeights(6), 28);
    EXPECT_EQ(calendar.Height(), 197);
    EXPECT_EQ(calendar.DefaultColWidth(), 27);  // (200 - 7 - 4) / 7
    EXPECT_EQ(calendar.Width(), 200);

    int width = 0, height = 0;  // nothing requested: the current layout
    calendar.CalcSize(width, height);
    EXPECT_EQ(width, 200);
    EXPECT_EQ(height, 197);

    calendar.SetScrollBars(ssBoth);  // 17 pixels each, the size kept
    EXPECT_EQ(calendar.DefaultColWidth(), (200 - 7 - 17 - 4) / 7);
    EXPECT_EQ(calendar.RowHeights(0), (197 - 7 - 60 - 17 - 4) / 7);
    calendar.SetScrollBars(ssNone);
    calendar.SetBorderStyle(bsNone);
    calendar.SetBounds(0, 0, 200, 200);
    EXPECT_EQ(calendar.DefaultColWidth(), (200 - 7) / 7);
    EXPECT_EQ(calendar.Height(), (200 - 7 - 60) / 7 * 7 + 60 + 7);
}

TEST_F(CalendarTest, WiderGridLinesRefitTheSize)
{
    calendar.SetMemoHeight(10);
    calendar.SetBounds(0, 0, 200, 200);
    calendar.SetGridLineWidth(2);
    EXPECT_EQ(calendar.DefaultColWidth(), (200 - 14 - 4) / 7);
    EXPECT_EQ(calendar.RowHeights(0), (197 - 14 - 60 - 4) / 7);
    int width = 0, height = 0;
    calendar.CalcSize(width, height);
    EXPECT_EQ(calendar.Width(), width);
    EXPECT_EQ(calendar.Height(), height);
    // The cells and their lines fill the client area exactly.
    const TRect last = calendar.CellRect(6, 6);
    EXPECT_EQ(last.Right + 2, calendar.ClientWidth());
    EXPECT_EQ(last.Bottom + 2, calendar.ClientHeight());
}

TEST_F(CalendarTest, DateLabelShowsTheShownMonth)
{
    TLabel label;
    calendar.SetDateLabel(&label);
    EXPECT_EQ(label.Caption(), "1998/04");
    calendar.NextMonth();
    EXPECT_EQ(label.Caption(), "1998/05");
    calendar.SetDateLabelFormat("yyyy年m月");
    EXPECT_EQ(label.Caption(), "1998年5月");
    calendar.SetDateLabel(nullptr);
    calendar.NextMonth();
    EXPECT_EQ(label.Caption(), "1998年5月");
}

TEST_F(CalendarTest, HolidaysFollowTheShownYear)
{
    calendar.SetHoliday(true);
    EXPECT_TRUE(calendar.IsHoliday(9, 15));
    EXPECT_TRUE(calendar.IsHoliday(3, 21));  // 1998
    EXPECT_FALSE(calendar.IsHoliday(3, 20));
    calendar.SetYear(2000);
    EXPECT_EQ(calendar.Date(), MakeDate(2000, 4, 1));
    EXPECT_EQ(changes, 1);
    EXPECT_TRUE(calendar.IsHoliday(3, 20));
    EXPECT_FALSE(calendar.IsHoliday(3, 21));

    // Stepping over a new year recomputes the day as well.
    calendar.SetDate(MakeDate(1997, 12, 1));
    calendar.NextMonth();
    EXPECT_TRUE(calendar.IsHoliday(3, 21));
    EXPECT_FALSE(calendar.IsHoliday(3, 20));

    calendar.SetHoliday(false);
    EXPECT_FALSE(calendar.IsHoliday(9, 15));
    EXPECT_FALSE(calendar.IsHoliday(3, 21));
}

namespace {

struct DrawnCell {
    TColor font;
    TColor brush;
    TGridDrawState state;
};

std::map<std::pair<int, int>, DrawnCell> PaintCells(kxvCalendar& calendar)
{
    std::map<std::pair<int, int>, DrawnCell> cells;
    calendar.OnDrawCell = [&](kxvCalendar& sender, int col, TGridDrawState state, const TRect& rect, int row) {
        TCanvas& canvas = sender.Canvas();
        cells[{col, row}] = DrawnCell{canvas.Font.Color, canvas.Pixel(rect.Left + 1, rect.Top + 1), state};
    };
    TBitmap bitmap;
    bitmap.SetSize(calendar.ClientWidth(), calendar.ClientHeight());
    calendar.Paint(bitmap.Canvas());
    calendar.OnDrawCell = nullptr;
    return cells;
}

const DrawnCell& At(const std::map<std::pair<int, int>, DrawnCell>& cells, int col, int row)
{
    return cells.at({col, row});
}

}  // namespace

TEST_F(CalendarTest, DrawCellColoursWeekdaysHolidaysAndTheSelection)
{
    calendar.SetHoliday(true);
    calendar.SetDate(MakeDate(1998, 5, 1));  // the 1st is a Friday: offset -4
    calendar.SetSelDate(MakeDate(1998, 5, 20));
    ASSERT_EQ(calendar.CellToDate(0, 2), MakeDate(1998, 5, 3));
    auto cells = PaintCells(calendar);

    // Header: the fixed colour, weekday colours.
    EXPECT_EQ(At(cells, 0, 0).brush, ColorToRGB(clBtnFace));
    EXPECT_EQ(At(cells, 0, 0).font, clRed);
    EXPECT_EQ(At(cells, 6, 0).font, clBlue);
    EXPECT_EQ(At(cells, 3, 0).font, ColorToRGB(clWindowText));
    EXPECT_TRUE(At(cells, 3, 0).state & gdFixed);
    // Sunday 3 May (holiday), Monday 4 May, a plain Wednesday and Saturday.
    EXPECT_EQ(At(cells, 0, 2).font, clRed);
    EXPECT_EQ(At(cells, 1, 2).font, clRed);
    EXPECT_EQ(At(cells, 2, 2).font, clRed);    // Tuesday 5 May
    EXPECT_EQ(At(cells, 3, 2).font, ColorToRGB(clWindowText));  // Wednesday 6 May
    EXPECT_EQ(At(cells, 4, 2).font, ColorToRGB(clWindowText));  // Thursday 7 May
    EXPECT_EQ(At(cells, 6, 2).font, clBlue);   // Saturday 9 May
    EXPECT_EQ(At(cells, 1, 3).font, ColorToRGB(clWindowText));  // Monday 11 May after a plain Sunday
    EXPECT_EQ(At(cells, 4, 2).brush, ColorToRGB(clWindow));
    // The selected day.
    EXPECT_EQ(At(cells, 3, 4).brush, ColorToRGB(clHighlight));
    EXPECT_EQ(At(cells, 3, 4).font, ColorToRGB(clHighlightText));
    EXPECT_TRUE(At(cells, 3, 4).state & gdSelected);
    EXPECT_FALSE(At(cells, 4, 4).state & gdSelected);

    // Holiday colouring off: weekday colours only.
    calendar.SetColorOfHoliday(clNone);
    cells = PaintCells(calendar);
    EXPECT_EQ(At(cells, 1, 2).font, ColorToRGB(clWindowText));
    EXPECT_EQ(At(cells, 0, 2).font, clRed);

    // The substitute Monday after Sunday 23 November 1997.
    calendar.SetColorOfHoliday(clLime);
    calendar.SetDate(MakeDate(1997, 11, 1));
    int col = 0, row = 0;
    ASSERT_TRUE(calendar.DateToCell(MakeDate(1997, 11, 24), col, row));
    cells = PaintCells(calendar);
    EXPECT_EQ(At(cells, col, row).font, clLime);
    EXPECT_EQ(At(cells, col + 1, row).font, ColorToRGB(clWindowText));
}

TEST_F(CalendarTest, MemoBandIsTheBottomOfEachDayCell)
{
    calendar.SetMemoHeight(10);
    std::vector<std::pair<int, TRect>> memos;
    calendar.OnDrawMemo = [&](kxvCalendar&, int col, TGridDrawState, const TRect& rect, int row) {
        memos.push_back({row * 7 + col, rect});
    };
    PaintCells(calendar);
    ASSERT_EQ(memos.size(), 42u);
    const TRect cell = calendar.CellRect(2, 3);
    for (const auto& [index, rect] : memos) {
        if (index == 3 * 7 + 2) {
            EXPECT_EQ(rect, Rect(cell.Left, cell.Bottom - 10, cell.Right, cell.Bottom));
        }
    }
}
