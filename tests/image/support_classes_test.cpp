#include <gtest/gtest.h>

#include <climits>
#include <stdexcept>

#include "framework/screen.h"
#include "image/kx_rect.h"
#include "image/kx_wait_cursor.h"
#include "image/text_helpers.h"

TEST(KxRect, ExclusiveAndInclusiveEdges)
{
    kxRect r(10, 20, 110, 70);
    EXPECT_EQ(r.Width(), 100);
    EXPECT_EQ(r.Height(), 50);
    r.Inclusive = true;
    EXPECT_EQ(r.Width(), 101);
    EXPECT_EQ(r.Height(), 51);
    r.SetWidth(100);
    r.SetHeight(50);
    EXPECT_EQ(r.Right, 109);
    EXPECT_EQ(r.Bottom, 69);
}

TEST(KxRect, AssignmentKeepsInclusiveAndComparisonIgnoresIt)
{
    kxRect inclusive;
    inclusive.Inclusive = true;
    inclusive = kxRect(1, 2, 3, 4);
    EXPECT_TRUE(inclusive.Inclusive);
    EXPECT_EQ(inclusive.Right, 3);
    inclusive = TRect{5, 6, 7, 8};
    EXPECT_TRUE(inclusive.Inclusive);
    EXPECT_EQ(inclusive.Left, 5);
    EXPECT_EQ(inclusive.Bottom, 8);
    EXPECT_FALSE(inclusive != kxRect(5, 6, 7, 8));
    EXPECT_TRUE(inclusive != kxRect(5, 6, 7, 9));
}

TEST(KxWaitCursor, NestedInstancesRestoreInTurn)
{
    Screen().SetCursor(crCross);
    {
        kxWaitCursor outer;
        EXPECT_EQ(Screen().Cursor(), crHourGlass);
        {
            kxWaitCursor inner;
            Screen().SetCursor(crIBeam);
        }
        EXPECT_EQ(Screen().Cursor(), crHourGlass);
    }
    EXPECT_EQ(Screen().Cursor(), crCross);
}

TEST(KxWaitCursor, RestoresWhenLeftThroughAnError)
{
    Screen().SetCursor(crArrow);
    try {
        kxWaitCursor wait;
        throw std::runtime_error("load failed");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(Screen().Cursor(), crArrow);
    Screen().SetCursor(crDefault);
}

TEST(TextHelpers, SkipSpacesStopsAtTheFirstOtherCharacter)
{
    const char* text = " \t \tx y";
    EXPECT_EQ(SkipSpaces(text), text + 4);
    const char* empty = "";
    EXPECT_EQ(SkipSpaces(empty), empty);
}

TEST(TextHelpers, ParseIntReadsSignBlanksAndDigits)
{
    const char* text = "  - 12,34";
    const char* cursor = text;
    EXPECT_EQ(ParseInt(cursor), -12);
    EXPECT_EQ(cursor, text + 6);
    ++cursor;
    EXPECT_EQ(ParseInt(cursor), 34);
    EXPECT_EQ(*cursor, '\0');

    const char* letters = "abc";
    cursor = letters;
    EXPECT_EQ(ParseInt(cursor), 0);
    EXPECT_EQ(cursor, letters);

    const char* plus = "\t+\t7x";
    cursor = plus;
    EXPECT_EQ(ParseInt(cursor), 7);
    EXPECT_EQ(*cursor, 'x');
}

TEST(TextHelpers, ParseIntSaturatesInsteadOfOverflowing)
{
    const char* text = "99999999999999999999999 -2147483648 -99999999999";
    const char* cursor = text;
    EXPECT_EQ(ParseInt(cursor), INT_MAX);
    EXPECT_EQ(*cursor, ' ');
    EXPECT_EQ(ParseInt(cursor), INT_MIN);
    EXPECT_EQ(ParseInt(cursor), INT_MIN);
    EXPECT_EQ(*cursor, '\0');
}

TEST(TextHelpers, ScanDWordFindsTheFirstMatch)
{
    const std::uint32_t values[] = {7, 0xFFFFFF, 3, 0xFFFFFF};
    EXPECT_EQ(ScanDWord(values, 0xFFFFFF, 4), std::optional<std::size_t>(1));
    EXPECT_EQ(ScanDWord(values, 3, 2), std::nullopt);
    EXPECT_EQ(ScanDWord(values, 7, 0), std::nullopt);
}
