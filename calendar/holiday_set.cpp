#include "calendar/holiday_set.h"

const kxMonthDay kxFixedHolidays[16] = {
    {1, 1},  {1, 15}, {2, 11},  {3, 20},  {4, 29},   {5, 3},   {5, 4},   {5, 5},
    {7, 20}, {9, 15}, {9, 23},  {10, 10}, {11, 3},   {11, 23}, {12, 23}, {0, 0},
};

void kxHolidaySet::SetHoliday(int month, int day, bool on)
{
    if (month < 0 || month > 12) return;
    Word(month).SetFlag(day, on);
}

bool kxHolidaySet::IsHoliday(int month, int day) const
{
    if (month < 0 || month > 12) return false;
    return Word(month).GetFlag(day);
}

void kxHolidaySet::Clear()
{
    for (kxvFlag& word : words_) word.Store(0);
}

void kxHolidaySet::SetFixedHolidays()
{
    for (const kxMonthDay* h = kxFixedHolidays; h->Month != 0; ++h) SetHoliday(h->Month, h->Day, true);
}

void kxHolidaySet::SetEquinoxDay(int year)
{
    for (int day : {20, 21, 22}) SetHoliday(3, day, false);
    const int years = year - 1994;
    kxDate equinox;
    DateFromDayNumber(DayNumber(1994, 3, 21) + 365 * years + years / 4, equinox);
    SetHoliday(equinox.Month, equinox.Day, true);
}

bool kxHolidaySet::IsColouredHoliday(const kxDate& date) const
{
    if (IsHoliday(date.Month, date.Day)) return true;
    if (WeekDay(date) != 1) return false;
    kxDate sunday = date;
    PrevDate(sunday);
    return IsHoliday(sunday.Month, sunday.Day);
}
