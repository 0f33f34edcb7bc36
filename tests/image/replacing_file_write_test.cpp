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
    std::size_t filesWhileWriting = 0;
    const auto failPartWay = [&](TStream& out) {
        out.WriteBuffer("partial", 7);
        filesWhileWriting = FileCount(dir);
        throw EWriteError("disk full");
    };
    EXPECT_FALSE(WriteFileReplacing(target, failPartWay));
    EXPECT_EQ(ReadAll(target), (std::vector<std::uint8_t>{'o', 'l', 'd'}));
    EXPECT_EQ(filesWhileWriting, 2u);  // the new file stood beside the old one
    EXPECT_EQ(FileCount(dir), 1u);
    EXPECT_FALSE(WriteFileReplacing(target, [](TStream&) { throw std::bad_alloc(); }));
    EXPECT_EQ(FileCount(dir), 1u);

    // Without a target to keep, a failed write leaves nothing under its name.
    const std::string missing = dir + PathSep() + "new.bmp";
    EXPECT_FALSE(WriteFileReplacing(missing, failPartWay));
    EXPECT_EQ(filesWhileWriting, 2u);
    EXPECT_EQ(FileCount(dir), 1u);
}

TEST(WriteFileReplacing, AnEmptyNameWritesNothing)
{
    bool called = false;
    EXPECT_FALSE(WriteFileReplacing("", [&](TStream&) { called = true; }));
    EXPECT_FALSE(called);
}

TEST(WriteFileReplacing, ACompleteWriteReplacesOrCreates)
{
    const std::string dir = ScratchDir("replacing_done");
    const std::string target = dir + PathSep() + "out.bmp";
    const auto writeNew = [](TStream& out) { out.WriteBuffer("new", 3); };
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
    EXPECT_TRUE(WriteFileReplacing(target, [](TStream& out) { out.WriteBuffer("new", 3); }));
    EXPECT_EQ(ReadAll(target), (std::vector<std::uint8_t>{'n', 'e', 'w'}));
    EXPECT_EQ(fs::status(target).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}
#endif
