// The texts outside programs hand over that the fuzz targets found faults in.
#include <gtest/gtest.h>

#include <climits>
#include <map>

#include "external/gv_window_rect.h"
#include "external/spi_format_list.h"

namespace {

spi::TInfoText Answers(std::map<int, std::string> texts)
{
    return [texts](int number) -> std::optional<std::string> {
        const auto found = texts.find(number);
        if (found == texts.end()) return std::nullopt;
        return found->second;
    };
}

}  // namespace

TEST(OutsideText, AWindowRectangleWhoseEdgeLeavesTheCoordinateRangeIsRefusedNotWrapped)
{
    TRect rect{1, 2, 3, 4};
    int value = 9;
    EXPECT_FALSE(ParseWindowRect("2147483647,0,1,0,0", rect, value));
    EXPECT_FALSE(ParseWindowRect("0,-2147483648,0,-1,0", rect, value));
    EXPECT_EQ(rect, (TRect{1, 2, 3, 4}));
    EXPECT_EQ(value, 9);
    ASSERT_TRUE(ParseWindowRect("2147483646,-2147483647,1,-1,7", rect, value));
    EXPECT_EQ(rect, (TRect{INT_MAX - 1, INT_MIN + 1, INT_MAX, INT_MIN}));
}

TEST(OutsideText, APluginFormatWithoutAPatternDoesNotShiftTheFieldsAfterIt)
{
    // Format 1 has a description but no pattern, format 2 an empty pattern,
    // format 4 a "|" in its description.
    const std::string filter = spi::FormatFilter(Answers(
        {{0, "00IN"}, {3, "No pattern"}, {4, ""}, {5, "Empty"}, {6, "*.c"}, {7, "C"}, {8, "*.d"}, {9, "D|E"}}));
    EXPECT_EQ(filter, "C|*.c");

    std::string joined;
    for (const std::string part : {"A|*.a", "", "B|*.b"}) spi::AppendFilter(joined, part);
    EXPECT_EQ(joined, "A|*.a|B|*.b");
}

TEST(OutsideText, APluginThatAnswersEveryInfoNumberIsAskedForAtMostTheFormatLimit)
{
    int asked = 0;
    const std::string filter = spi::FormatFilter([&asked](int) {
        ++asked;
        return std::optional<std::string>("x");
    });
    EXPECT_EQ(asked, 2 * spi::kMaxFormats);
    EXPECT_EQ(filter.size(), spi::kMaxFormats * 4u - 1);
}
