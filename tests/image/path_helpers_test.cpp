#include <gtest/gtest.h>

#include "framework/application.h"
#include "framework/file_system.h"
#include "image/path_helpers.h"
#include "image/path_rules.h"

using namespace path_rules;

namespace {

const TPathRules& Win = WindowsPathRules;
const TPathRules& Posix = PosixPathRules;

std::string Appended(std::string path, const std::string& component, const TPathRules& rules)
{
    FileAppendPath(path, component, rules);
    return path;
}

std::string Changed(std::string path, const std::string& extension, const TPathRules& rules)
{
    FileChangeExt(path, extension, rules);
    return path;
}

// "ソ" and "表" end in 0x5C in code page 932; in UTF-8 no byte of theirs is below
// 0x80. "＼" (U+FF3C) and "¥" (U+00A5) look like separators and are none.
const std::string So = "ソ";
const std::string Hyo = "表";
const std::string WideBackslash = "＼";
const std::string Yen = "¥";
const std::string Emoji = "😀";

}  // namespace

TEST(PathRules, WindowsNamePart)
{
    EXPECT_EQ(FileNamePart("C:\\DIR\\A.BMP", Win), "A.BMP");
    EXPECT_EQ(FileNamePart("C:A.BMP", Win), "A.BMP");
    EXPECT_EQ(FileNamePart("A.BMP", Win), "A.BMP");
    EXPECT_EQ(FileNamePart("C:/DIR/A.BMP", Win), "A.BMP");
    EXPECT_EQ(FileNamePart("C:\\DIR/SUB\\A.BMP", Win), "A.BMP");
    EXPECT_EQ(FileNamePart("C:\\DIR\\", Win), "");
}

TEST(PathRules, WindowsStepsOverWholeUtf8Characters)
{
    ASSERT_EQ(So, "\xE3\x82\xBD");
    EXPECT_EQ(FileNamePart("C:\\" + So + "\\" + So + "A.BMP", Win), So + "A.BMP");
    EXPECT_EQ(FileNamePart("C:\\" + Hyo + So + ".BMP", Win), Hyo + So + ".BMP");
    // A path ending in "ソ" does not end in a separator.
    EXPECT_EQ(Appended("C:\\" + So, "X", Win), "C:\\" + So + "\\X");
    // Half-width katakana are characters like any other: "ｿ" followed by a real "\".
    EXPECT_EQ(FileNamePart("C:\\ｿ\\A", Win), "A");
    EXPECT_EQ(FileExtPart("A.B\\" + So, Win), "B\\" + So);
    // The look-alikes stay part of the name; "x¥y.bmp" is one file, not y.bmp in x.
    EXPECT_EQ(FileNamePart("C:\\in\\x" + Yen + "y.bmp", Win), "x" + Yen + "y.bmp");
    EXPECT_EQ(FileNamePart("C:\\in\\a" + WideBackslash + "b", Win), "a" + WideBackslash + "b");
    EXPECT_EQ(Appended("C:\\" + Emoji, "X", Win), "C:\\" + Emoji + "\\X");
    EXPECT_EQ(Changed("C:\\" + Emoji + "．", "bmp", Win), "C:\\" + Emoji + "．.bmp");
    // A malformed byte is one step of its own and never hides the "\" after it.
    EXPECT_EQ(FileNamePart("C:\\\xE3\\A", Win), "A");
    EXPECT_EQ(FileNamePart("C:\\\xF0\x9F\\A", Win), "A");
}

TEST(PathRules, PosixUsesSlashAlone)
{
    EXPECT_EQ(FileNamePart("/home/u/a.bmp", Posix), "a.bmp");
    EXPECT_EQ(FileNamePart("C:\\DIR\\A.BMP", Posix), "C:\\DIR\\A.BMP");
    EXPECT_EQ(FileNamePart("dir/\x83/x", Posix), "x");  // bytes that are not UTF-8 pass as they are
    EXPECT_EQ(FileNamePart("/tmp/" + Hyo + So + ".gif", Posix), Hyo + So + ".gif");
    EXPECT_EQ(Appended("/tmp", "/x", Posix), "/tmp/x");
    EXPECT_EQ(Appended("/tmp/", "x", Posix), "/tmp/x");
    EXPECT_EQ(Appended("C:", "x", Posix), "C:/x");
}

TEST(PathRules, WindowsAppendPath)
{
    EXPECT_EQ(Appended("C:", "X", Win), "C:X");
    EXPECT_EQ(Appended("C:\\DIR", "\\X", Win), "C:\\DIR\\X");
    EXPECT_EQ(Appended("C:\\DIR\\", "\\\\X", Win), "C:\\DIR\\X");
    EXPECT_EQ(Appended("C:/DIR/", "/X", Win), "C:/DIR/X");
    EXPECT_EQ(Appended("", "X", Win), "X");
    EXPECT_EQ(Appended("", "\\X", Win), "X");
}

TEST(PathRules, ExtensionPartTakesTheLastDotAnywhere)
{
    EXPECT_EQ(FileExtPart("C:\\A.B\\FILE", Win), "B\\FILE");
    EXPECT_EQ(FileExtPart("C:\\DIR\\A.TAR.GZ", Win), "GZ");
    EXPECT_EQ(FileExtPart("README", Win), "");
    EXPECT_EQ(FileExtPart("/a.b/c", Posix), "b/c");
}

TEST(PathRules, ChangeExtension)
{
    EXPECT_EQ(Changed("C:\\P\\APP.EXE", "HLP", Win), "C:\\P\\APP.HLP");
    EXPECT_EQ(Changed("README", ".TXT", Win), "README.TXT");
    EXPECT_EQ(Changed("A.GIF", ".bmp", Win), "A.bmp");
    EXPECT_EQ(Changed("/x/a.gif", "bmp", Posix), "/x/a.bmp");
    // A dot in a directory name is not the file's extension.
    EXPECT_EQ(Changed("C:\\A.B\\FILE", "HLP", Win), "C:\\A.B\\FILE.HLP");
    EXPECT_EQ(Changed("/a.b/file", "bmp", Posix), "/a.b/file.bmp");
    EXPECT_EQ(Changed("C:\\" + So + ".GIF", "BMP", Win), "C:\\" + So + ".BMP");
}

TEST(PathHelpers, PlatformRulesAndFullPath)
{
    std::string path = "out";
#ifdef _WIN32
    EXPECT_EQ(FileNamePart("C:\\DIR\\" + So + "A.BMP"), So + "A.BMP");
    EXPECT_EQ(FileAppendPath(path, "a.bmp"), "out\\a.bmp");
#else
    EXPECT_EQ(FileNamePart("C:\\DIR\\A.BMP"), "C:\\DIR\\A.BMP");
    EXPECT_EQ(FileNamePart("/dir/a.bmp"), "a.bmp");
    EXPECT_EQ(FileAppendPath(path, "a.bmp"), "out/a.bmp");
#endif
    EXPECT_EQ(FileFullPath(""), "");
    const std::string full = FileFullPath("a.bmp");
    EXPECT_EQ(FileNamePart(full), "a.bmp");
    EXPECT_GT(full.size(), std::string("a.bmp").size());
}

TEST(PathHelpers, SetHelpDefaultsToTheProgramWithHlp)
{
    FileSetHelp("C:\\HELP\\X.HLP");
    EXPECT_EQ(Application().HelpFile, "C:\\HELP\\X.HLP");
    FileSetHelp("");
    std::string expected = ProgramPath();
    ASSERT_FALSE(expected.empty());
    FileChangeExt(expected, "HLP");
    EXPECT_EQ(Application().HelpFile, expected);
    EXPECT_EQ(FileExtPart(Application().HelpFile), "HLP");
}
