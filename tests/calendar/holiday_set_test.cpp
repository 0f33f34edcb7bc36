#include <gtest/gtest.h>

#include "calendar/holiday_set.h"
#include "calendar/kxv_flag.h"

TEST(KxvFlag, ChangeFiresOnlyWhenTheWordChanges)
{
    kxvFlag flag;
    int changes = 0;
    flag.OnChange = [&](kxvFlag& sender) {
        EXPECT_EQ(&sender, &flag);
        ++changes;
    };
    flag.Store(0);
    EXPECT_EQ(changes, 0);
    flag.SetFlags(0x11);
    flag.SetFlags(0x01);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(flag.Value(), 0x11u);
    flag.ResetFlags(0x100);
    EXPECT_EQ(changes, 1);
    flag.ResetFlags(0x10);
    EXPECT_EQ(changes, 2);
    flag.SetFlag(35, true);  // bit 3
    EXPECT_TRUE(flag.GetFlag(3));
    EXPECT_EQ(flag.GetFlags(0x0F), 0x09u);
    flag.Reset(3);
    EXPECT_FALSE(flag.GetFlag(35));
    EXPECT_EQ(changes, 4);
    flag.SetFlag(31, true);
    EXPECT_EQ(flag.Value(), 0x80000001u);
    flag.Change();
    EXPECT_EQ(changes, 6);
}

TEST(HolidaySet, FixedHolidaysAreTheSameInEveryYear)
{
    kxHolidaySet set;
    EXPECT_FALSE(set.IsHoliday(9, 15));
    set.SetFixedHolidays();
    for (const kxMonthDay* h = kxFixedHolidays; h->Month != 0; ++h)
        EXPECT_TRUE(set.IsHoliday(h->Month, h->Day)) << h->Month << "/" << h->Day;
    EXPECT_EQ(set.Word(5).Value(), (1u << 3) | (1u << 4) | (1u << 5));
    EXPECT_EQ(set.Word(0).Value(), 0u);
    EXPECT_FALSE(set.IsHoliday(9, 16));
    for (int year : {1950, 1998, 2050}) {
        EXPECT_TRUE(set.IsColouredHoliday(MakeDate(year, 9, 15)));
        EXPECT_TRUE(set.IsColouredHoliday(MakeDate(year, 11, 23)));
    }
    set.Clear();
    for (int m = 0; m <= 12; ++m) EXPECT_EQ(set.Word(m).Value(), 0u);
}

TEST(HolidaySet, MonthsOutsideTheTableAreIgnored)
{
    kxHolidaySet set;
    set.SetHoliday(13, 1, true);
    set.SetHoliday(-1, 1, true);
    EXPECT_FALSE(set.IsHoliday(13, 1));
    EXPECT_FALSE(set.IsHoliday(255, 1));
}

TEST(HolidaySet, EquinoxDayFollowsTheYear)
{
    kxHolidaySet set;
    set.SetFixedHolidays();  // the table holds 20 March
    set.SetEquinoxDay(1998);
    EXPECT_FALSE(set.IsHoliday(3, 20));
    EXPECT_TRUE(set.IsHoliday(3, 21));
    set.SetEquinoxDay(2000);
    EXPECT_TRUE(set.IsHoliday(3, 20));
    EXPECT_FALSE(set.IsHoliday(3, 21));
    set.SetEquinoxDay(1994);
    EXPECT_TRUE(set.IsHoliday(3, 21));
    EXPECT_FALSE(set.IsHoliday(3, 20));
    EXPECT_FALSE(set.IsHoliday(3, 22));
    // Only the equinox bits move.
    EXPECT_TRUE(set.IsHoliday(1, 15));
    EXPECT_EQ(set.Word(3).Value(), 1u << 21);
}

TEST(HolidaySet, MondayAfterASundayHolidayIsColoured)
{
    kxHolidaySet set;
    set.SetFixedHolidays();
    // Sunday 23 November 1997.
    ASSERT_EQ(WeekDay(1997, 11, 23), 0);
    EXPECT_FALSE(set.IsHoliday(11, 24));
    EXPECT_TRUE(set.IsColouredHoliday(MakeDate(1997, 11, 24)));
    EXPECT_FALSE(set.IsColouredHoliday(MakeDate(1997, 11, 25)));
    // Sunday 3 May 1998: Monday the 4th has its own bit too.
    ASSERT_EQ(WeekDay(1998, 5, 3), 0);
    EXPECT_TRUE(set.IsColouredHoliday(MakeDate(1998, 5, 4)));
    // 23 November 1998 is a Monday itself; the Tuesday after it is not coloured.
    EXPECT_TRUE(set.IsColouredHoliday(MakeDate(1998, 11, 23)));
    EXPECT_FALSE(set.IsColouredHoliday(MakeDate(1998, 11, 24)));
    // A Monday after a plain Sunday is not.
    EXPECT_FALSE(set.IsColouredHoliday(MakeDate(1998, 4, 13)));
    // The Sunday before a Monday 1 March lies in February.
    set.SetHoliday(2, 28, true);
    ASSERT_EQ(WeekDay(1999, 3, 1), 1);
    EXPECT_TRUE(set.IsColouredHoliday(MakeDate(1999, 3, 1)));
}
