#include "framework/path_ellipsis.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// One unit a byte: a double-byte character is twice as wide as a single one.
int Bytes(const std::string& text) { return int(text.size()); }

}  // namespace

TEST(PathEllipsis, ALongPathLosesTheEndOfItsDirectoriesAndKeepsItsStartAndFileName)
{
    const std::string path = "Z:\\tmp\\user32\\pics\\photo640.bmp";
    EXPECT_EQ(PathEllipsis(path, int(path.size()), Bytes), path);
    EXPECT_EQ(PathEllipsis(path, 24, Bytes), "Z:\\tmp\\u...\\photo640.bmp");
    EXPECT_EQ(PathEllipsis(path, 16, Bytes), "...\\photo640.bmp");
    // The name alone too wide: its end gives way, and the result still fits.
    EXPECT_EQ(PathEllipsis(path, 10, Bytes), "\\photo6...");
    EXPECT_EQ(PathEllipsis(path, 2, Bytes), "");
    EXPECT_EQ(PathEllipsis("Clipping rectangle", 10, Bytes), "Clippin...");
}

// "表" is 0x95 0x5C in code page 932: its trail byte is no separator, and no
// character is cut in two.
TEST(PathEllipsis, DoubleByteCharactersStayWhole)
{
    const std::string path = "C:\\\x95\x5C\x95\x5C\x95\x5C\\a\x95\x5C.bmp";
    EXPECT_EQ(PathEllipsis(path, 16, Bytes), "C:\\\x95\x5C...\\a\x95\x5C.bmp");
    EXPECT_EQ(PathEllipsis(path, 15, Bytes), "C:\\...\\a\x95\x5C.bmp");
    EXPECT_EQ(PathEllipsis("a\x95\x5C\x95\x5C", 4, Bytes), "a...");
}
