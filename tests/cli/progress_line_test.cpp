#include "cli/progress_line.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "cli/console_text.h"

namespace {

std::string Written(std::FILE* file)
{
    std::string text;
    std::rewind(file);
    for (int c; (c = std::fgetc(file)) != EOF;) text += char(c);
    return text;
}

}  // namespace

TEST(ProgressLine, AppearsAfterASecondAndIsWipedWhenHidden)
{
    std::FILE* file = std::tmpfile();
    ASSERT_NE(file, nullptr);
    EXPECT_FALSE(IsTerminal(file));
    const std::int64_t start = 5000;
    {
        TProgressLine line(file, true, start);
        line.SetTotal(10);
        line.Update(3, start + 900);
        EXPECT_EQ(Written(file), "");
        line.Update(4, start + 2000);
        EXPECT_EQ(Written(file), "\r4 of 10 files, 2 files/s");
        line.Update(5, start + 2050);  // too soon to redraw
        line.Hide();
    }
    EXPECT_EQ(Written(file), "\r4 of 10 files, 2 files/s\r" + std::string(24, ' ') + "\r");
    std::fclose(file);
}

TEST(ProgressLine, WritesNothingWhenOff)
{
    std::FILE* file = std::tmpfile();
    ASSERT_NE(file, nullptr);
    const std::int64_t start = 5000;
    {
        TProgressLine line(file, false, start);
        line.Update(7, start + 5000);
    }
    EXPECT_EQ(Written(file), "");
    EXPECT_EQ(TProgressLine::Text(7, std::nullopt, 2.0), "7 files, 4 files/s");
    std::fclose(file);
}
