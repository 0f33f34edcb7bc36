#include <gtest/gtest.h>

#include "cli/crop_geometry.h"

TEST(CropGeometry, WidthHeightAndSignedOffsets)
{
    const auto start = ParseCropGeometry("640x480+0+0");
    ASSERT_TRUE(start);
    EXPECT_EQ(*start, kxRect(0, 0, 640, 480));
    EXPECT_EQ(*ParseCropGeometry("32X16+8+4"), kxRect(8, 4, 40, 20));
    EXPECT_EQ(*ParseCropGeometry("10x10-5-7"), kxRect(-5, -7, 5, 3));
    EXPECT_EQ(*ParseCropGeometry("0x0+3+3"), kxRect(3, 3, 3, 3));
}

TEST(CropGeometry, OtherFormsAreRefused)
{
    for (const char* text : {"", "640x480", "640x480+0", "640x480+0+0+0", "x480+0+0", "640x+0+0", "-1x480+0+0",
                             "640x480+ 0+0", "640*480+0+0", "640x480+0+0 ", "a", "640x480++0+0"})
        EXPECT_FALSE(ParseCropGeometry(text)) << text;
}

TEST(CropGeometry, EdgesMustFitIn32Bits)
{
    EXPECT_TRUE(ParseCropGeometry("2147483647x1+0+0"));
    EXPECT_FALSE(ParseCropGeometry("2147483648x1+0+0"));
    EXPECT_FALSE(ParseCropGeometry("2147483647x1+1+0"));  // right edge past the range
    EXPECT_TRUE(ParseCropGeometry("1x1-2147483647-0"));
    EXPECT_FALSE(ParseCropGeometry("1x1+99999999999+0"));
}
