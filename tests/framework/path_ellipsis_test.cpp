#include "framework/path_ellipsis.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// One unit a byte: a multi-byte character is as wide as its bytes.
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

// "表" takes three bytes: no character is cut in two, whichever part gives way.
TEST(PathEllipsis, MultiByteCharactersStayWhole)
{
    const std::string path = "C:\\表表表\\a表.bmp";
    EXPECT_EQ(PathEllipsis(path, 18, Bytes), "C:\\表...\\a表.bmp");
    EXPECT_EQ(PathEllipsis(path, 17, Bytes), "C:\\...\\a表.bmp");
    EXPECT_EQ(PathEllipsis("a表表", 6, Bytes), "a...");
}
