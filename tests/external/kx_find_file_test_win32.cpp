// The recursive finder: its own matches first, then each sub-directory depth
// first, full paths, and the attributes that stop it.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>

#include "external/kx_find_file.h"
#include "framework/win32/wide.h"
#include "test_support.h"

namespace {

void Touch(const std::string& path)
{
    WriteAll(path, {1});
}

void MakeDir(const std::string& path, DWORD attributes = FILE_ATTRIBUTE_DIRECTORY)
{
    CreateDirectoryW(Utf8ToWide(path).c_str(), nullptr);
    SetFileAttributesW(Utf8ToWide(path).c_str(), attributes);
}

std::vector<std::string> Walk(kxFindFile& finder)
{
    std::vector<std::string> found;
    while (finder.Next()) found.push_back(finder.FoundName());
    return found;
}

TEST(KxFindFile, OwnMatchesThenEachSubDirectoryDepthFirst)
{
    const std::string root = ScratchDir("find_order");
    Touch(root + "\\top.x");
    Touch(root + "\\skip.y");
    MakeDir(root + "\\a");
    Touch(root + "\\a\\one.x");
    MakeDir(root + "\\a\\deep");
    Touch(root + "\\a\\deep\\two.x");
    MakeDir(root + "\\b");
    Touch(root + "\\b\\three.x");
    MakeDir(root + "\\archived", FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_ARCHIVE);
    Touch(root + "\\archived\\never.x");

    // Wine keeps only the hidden and system bits of a directory: there the
    // archived folder is an ordinary one and is searched.
    const DWORD archived = GetFileAttributesW(Utf8ToWide(root + "\\archived").c_str());
    const bool archiveKept = (archived & FILE_ATTRIBUTE_ARCHIVE) != 0;

    kxFindFile finder;
    ASSERT_TRUE(finder.Find(root, "*.x"));
    std::vector<std::string> found = Walk(finder);
    ASSERT_EQ(found.size(), archiveKept ? 4u : 5u);
    EXPECT_EQ(std::count(found.begin(), found.end(), root + "\\archived\\never.x"), archiveKept ? 0 : 1);
    EXPECT_EQ(found[0], root + "\\top.x");
    // Sub-directories come in the file system's listing order, each one's own
    // files before its sub-directories.
    const auto at = [&](const std::string& name) { return std::find(found.begin(), found.end(), root + name) - found.begin(); };
    EXPECT_EQ(at("\\a\\deep\\two.x"), at("\\a\\one.x") + 1);
    EXPECT_LT(at("\\b\\three.x"), std::ptrdiff_t(found.size()));

    kxFindFile flat(root + "\\*.x", false);
    EXPECT_EQ(Walk(flat), std::vector<std::string>{root + "\\top.x"});
}

TEST(KxFindFile, ExcludedAttributesAndShortNames)
{
    const std::string root = ScratchDir("find_attributes");
    Touch(root + "\\plain.x");
    Touch(root + "\\hidden.x");
    SetFileAttributesW(Utf8ToWide(root + "\\hidden.x").c_str(), FILE_ATTRIBUTE_HIDDEN);
    kxFindFile finder;
    finder.ExcludeAttributes = FILE_ATTRIBUTE_HIDDEN;
    finder.Find(root, "*.x");
    ASSERT_TRUE(finder.Next());
    EXPECT_EQ(std::string(finder.FoundName()), root + "\\plain.x");
    EXPECT_STRNE(finder.FindData.cAlternateFileName, L"");
    EXPECT_FALSE(finder.Next());
}

}  // namespace
