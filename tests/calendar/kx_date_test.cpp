#include <gtest/gtest.h>

#include "calendar/format_settings.h"
#include "calendar/kx_date.h"

namespace {

TFormatSettings Slash()
{
    return TFormatSettings{};
}

}  // namespace

TEST(KxDate, LeapYearUsesTheThousandYearRule)
{
    for (int year : {1996, 2000, 3000, 4}) EXPECT_TRUE(LeapYear(year)) << year;
    for (int year : {1900, 2100, 1600, 2400, 1700, 1997}) EXPECT_FALSE(LeapYear(year)) << year;
    EXPECT_EQ(DaysInMonth(2000, 2), 29);
    EXPECT_EQ(DaysInMonth(1600, 2), 28);
    EXPECT_EQ(DaysInMonth(1998, 4), 30);
    EXPECT_EQ(DaysInMonth(1998, 0), 0);
    EXPECT_EQ(DaysInMonth(1998, 13), 0);
}

TEST(KxDate, DayNumberStartsAtYearOneOnAThursday)
{
    EXPECT_EQ(DayNumber(1, 1, 1), 0);
    EXPECT_EQ(WeekDay(1, 1, 1), 4);
    EXPECT_EQ(DayNumber(2, 1, 1), 365);
    EXPECT_EQ(WeekDay(1998, 4, 17), 5);
    EXPECT_EQ(WeekDay(1998, 4, 1), 3);
    // 1 January 2000 was a Saturday; the rule agrees with the Gregorian one here.
    EXPECT_EQ(WeekDay(2000, 1, 1), 6);
}

TEST(KxDate, DayNumberRoundTripsForEveryDateOfYearsOneTo3000)
{
    std::int32_t expected = 0;
    for (int year = 1; year <= 3000; ++year)
        for (int month = 1; month <= 12; ++month)
            for (int day = 1; day <= DaysInMonth(year, month); ++day) {
                const std::int32_t n = DayNumber(year, month, day);
                ASSERT_EQ(n, expected) << year << "-" << month << "-" << day;
                kxDate date;
                const int weekday = DateFromDayNumber(n, date);
                ASSERT_EQ(date, MakeDate(year, month, day)) << "day number " << n;
                ASSERT_EQ(weekday, (n + 4) % 7);
                ++expected;
            }
}

TEST(KxDate, MonthStepsMoveByTheLengthOfAMonth)
{
    kxDate date = MakeDate(1998, 1, 31);
    EXPECT_EQ(NextMonthDate(date), WeekDay(1998, 3, 3));
    EXPECT_EQ(date, MakeDate(1998, 3, 3));

    date = MakeDate(1998, 12, 1);
    NextMonthDate(date);
    EXPECT_EQ(date, MakeDate(1999, 1, 1));

    date = MakeDate(1999, 1, 1);
    PrevMonthDate(date);  // back by December's 31 days
    EXPECT_EQ(date, MakeDate(1998, 12, 1));

    date = MakeDate(2000, 3, 1);
    PrevMonthDate(date);  // back by February 2000's 29 days
    EXPECT_EQ(date, MakeDate(2000, 2, 1));

    date = MakeDate(2000, 1, 1);
    EXPECT_EQ(PrevDate(date), 5);
    EXPECT_EQ(date, MakeDate(1999, 12, 31));
}

TEST(KxDate, ValidDateChecksMonthAndDay)
{
    EXPECT_TRUE(ValidDate(MakeDate(2000, 2, 29)));
    EXPECT_FALSE(ValidDate(MakeDate(1900, 2, 29)));
    EXPECT_FALSE(ValidDate(MakeDate(1998, 13, 1)));
    EXPECT_FALSE(ValidDate(MakeDate(1998, 4, 0)));
    EXPECT_FALSE(ValidDate(MakeDate(0, 4, 1)));
}

TEST(FormatEraDate, WritesEraLettersFromTheFirstYearOfEachEra)
{
    const TFormatSettings s = Slash();
    EXPECT_EQ(FormatEraDate(1998, 4, 17, true, s), "H10/04/17");
    EXPECT_EQ(FormatEraDate(1998, 4, 17, false, s), "1998/04/17");
    EXPECT_EQ(FormatEraDate(1998, 0, 0, false, s), "1998");
    EXPECT_EQ(FormatEraDate(1989, 1, 8, true, s), "H01/01/08");
    EXPECT_EQ(FormatEraDate(1988, 12, 31, true, s), "S63/12/31");
    EXPECT_EQ(FormatEraDate(1926, 12, 31, true, s), "S01/12/31");
    EXPECT_EQ(FormatEraDate(1912, 7, 30, true, s), "T01/07/30");
    EXPECT_EQ(FormatEraDate(1868, 1, 1, true, s), "M01/01/01");
    EXPECT_EQ(FormatEraDate(1867, 12, 31, true, s), "1867/12/31");
    EXPECT_EQ(FormatEraDate(0, 4, 17, true, s), "04/17");
    EXPECT_EQ(FormatEraDate(0, 0, 17, true, s), "17");
}

TEST(FormatEraDate, UsesTheWholeDateSeparator)
{
    TFormatSettings s;
    s.DateSeparator = "－";
    EXPECT_EQ(FormatEraDate(2099, 12, 31, false, s), "2099－12－31");
}

TEST(ParseEraDate, ReadsEraLettersSignsAndNames)
{
    const TFormatSettings s = Slash();
    EXPECT_EQ(ParseEraDate("H10/4/17", s), MakeDate(1998, 4, 17));
    EXPECT_EQ(ParseEraDate("h10/4/17", s), MakeDate(1998, 4, 17));
    EXPECT_EQ(ParseEraDate("平成10", s), MakeDate(1998, 0, 0));
    EXPECT_EQ(ParseEraDate("㍻10/4", s), MakeDate(1998, 4, 0));
    EXPECT_EQ(ParseEraDate("昭和64/1/7", s), MakeDate(1989, 1, 7));
    EXPECT_EQ(ParseEraDate("㍼64", s), MakeDate(1989, 0, 0));
    EXPECT_EQ(ParseEraDate("大正1", s), MakeDate(1912, 0, 0));
    EXPECT_EQ(ParseEraDate("㍽15", s), MakeDate(1926, 0, 0));
    EXPECT_EQ(ParseEraDate("明治45/7/29", s), MakeDate(1912, 7, 29));
    EXPECT_EQ(ParseEraDate("m1", s), MakeDate(1868, 0, 0));
    // The era letter decides the base year, not the date.
    EXPECT_EQ(ParseEraDate("s64", s), MakeDate(1989, 0, 0));
    EXPECT_EQ(ParseEraDate("t100", s), MakeDate(2011, 0, 0));
}

TEST(ParseEraDate, SkipsBlanksAndReportsWhereItStopped)
{
    const TFormatSettings s = Slash();
    std::size_t end = 99;
    EXPECT_EQ(ParseEraDate(" \t1998 / 4 /\t17x", end, s), MakeDate(1998, 4, 17));
    EXPECT_EQ(end, 15u);
    EXPECT_EQ(ParseEraDate("  ", end, s), kxDate{});
    EXPECT_EQ(end, 2u);
    EXPECT_EQ(ParseEraDate("", end, s), kxDate{});
    EXPECT_EQ(ParseEraDate("2099/12/31", end, s), MakeDate(2099, 12, 31));
    EXPECT_EQ(end, 10u);
    // Another separator stops after the year.
    EXPECT_EQ(ParseEraDate("1998-4-17", end, s), MakeDate(1998, 0, 0));
    EXPECT_EQ(end, 4u);
    // An unknown era is no era: nothing is skipped, no digits follow.
    EXPECT_EQ(ParseEraDate("X10/4/17", end, s), kxDate{});
    EXPECT_EQ(end, 0u);
}

TEST(ParseEraDate, ComparesMultiByteCharactersWhole)
{
    TFormatSettings s;
    s.DateSeparator = "／";  // EF BC 8F
    EXPECT_EQ(ParseEraDate("H10／4／17", s), MakeDate(1998, 4, 17));
    // "＼" (EF BC BC) shares its first two bytes with "／": not the separator.
    EXPECT_EQ(ParseEraDate("H10＼4", s), MakeDate(1998, 0, 0));
    // A two-character era name is matched byte for byte: "平年" is not "平成".
    EXPECT_EQ(ParseEraDate("平年10", s), kxDate{});
    // "ﾍ" (half-width) is no era sign.
    EXPECT_EQ(ParseEraDate("ﾍ10", s), kxDate{});
}

TEST(ParseEraDate, RoundTripsFormattedDates)
{
    const TFormatSettings s = Slash();
    for (int year : {1868, 1911, 1912, 1925, 1926, 1988, 1989, 1998, 2099})
        for (bool eras : {false, true}) {
            const std::string text = FormatEraDate(year, 11, 23, eras, s);
            EXPECT_EQ(ParseEraDate(text, s), MakeDate(year, 11, 23)) << text;
        }
}

TEST(FormatDate, WritesTheLabelFormat)
{
    TFormatSettings s;
    EXPECT_EQ(FormatDate("yyyy/mm", MakeDate(1998, 4, 1), s), "1998/04");
    EXPECT_EQ(FormatDate("yy/m/d ddd", MakeDate(2005, 1, 9), s), "05/1/9 Sun");
    EXPECT_EQ(FormatDate("yyyy'/'mm", MakeDate(1998, 4, 1), s), "1998/04");
    EXPECT_EQ(FormatDate("yyyy年mm月", MakeDate(1998, 4, 1), s), "1998年04月");
    s.DateSeparator = ".";
    EXPECT_EQ(FormatDate("yyyy/mm", MakeDate(1998, 4, 1), s), "1998.04");
    EXPECT_EQ(FormatDate("yyyy/mm", MakeDate(1998, 0, 0), s), "");
}
