#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>

#include "framework/exceptions.h"
#include "framework/streams.h"
#include "image/replacing_file_write.h"
#include "test_support.h"

namespace {

std::size_t FileCount(const std::string& dir)
{
    std::size_t n = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir)) ++n;
    return n;
}

}  // namespace

TEST(WriteFileReplacing, AFailedWriteKeepsTheOldFileAndLeavesNoTemporary)
{
    const std::string dir = ScratchDir("replacing_failed");
    const std::string target = dir + PathSep() + "out.bmp";
    WriteAll(target, {'o', 'l', 'd'});
    std::string used;
    const bool written = WriteFileReplacing(target, [&](const std::string& temporary) {
        used = temporary;
        TFileStream out(temporary, fmCreate);
        out.WriteBuffer("partial", 7);
        throw EWriteError("disk full");
    });
    EXPECT_FALSE(written);
    EXPECT_EQ(ReadAll(target), (std::vector<std::uint8_t>{'o', 'l', 'd'}));
    EXPECT_EQ(FileCount(dir), 1u);
    EXPECT_EQ(std::filesystem::path(used).parent_path(), std::filesystem::path(target).parent_path());

    // Any exception counts, and a writer that never created the file leaves nothing.
    EXPECT_FALSE(WriteFileReplacing(target, [](const std::string&) { throw std::bad_alloc(); }));
    EXPECT_EQ(FileCount(dir), 1u);
}

TEST(WriteFileReplacing, AnEmptyNameWritesNothing)
{
    bool called = false;
    EXPECT_FALSE(WriteFileReplacing("", [&](const std::string&) { called = true; }));
    EXPECT_FALSE(called);
}

TEST(WriteFileReplacing, ACompleteWriteReplacesOrCreates)
{
    const std::string dir = ScratchDir("replacing_done");
    const std::string target = dir + PathSep() + "out.bmp";
    const auto writeNew = [](const std::string& temporary) {
        TFileStream out(temporary, fmCreate);
        out.WriteBuffer("new", 3);
        out.Close();
    };
    EXPECT_TRUE(WriteFileReplacing(target, writeNew));
    EXPECT_EQ(ReadAll(target), (std::vector<std::uint8_t>{'n', 'e', 'w'}));
    WriteAll(target, {'o', 'l', 'd', '!'});
    EXPECT_TRUE(WriteFileReplacing(target, writeNew));
    EXPECT_EQ(ReadAll(target), (std::vector<std::uint8_t>{'n', 'e', 'w'}));
    EXPECT_EQ(FileCount(dir), 1u);
}

#ifndef _WIN32
TEST(WriteFileReplacing, TheReplacedFileKeepsItsPermissions)
{
    namespace fs = std::filesystem;
    const std::string dir = ScratchDir("replacing_mode");
    const std::string target = dir + PathSep() + "out.bmp";
    WriteAll(target, {'o', 'l', 'd'});
    fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_TRUE(WriteFileReplacing(target, [](const std::string& temporary) {
        TFileStream out(temporary, fmCreate);
        out.WriteBuffer("new", 3);
        out.Close();
    }));
    EXPECT_EQ(ReadAll(target), (std::vector<std::uint8_t>{'n', 'e', 'w'}));
    EXPECT_EQ(fs::status(target).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}
#endif
