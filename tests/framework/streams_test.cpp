#include <gtest/gtest.h>

#include "framework/exceptions.h"
#include "framework/file_system.h"
#include "framework/streams.h"
#include "test_support.h"

TEST(MemoryStream, ReadsNoFurtherThanItsEnd)
{
    const std::uint8_t data[3] = {1, 2, 3};
    TCustomMemoryStream s(data, 3);
    std::uint8_t out[8] = {};
    EXPECT_EQ(s.Read(out, 8), 3);
    EXPECT_EQ(s.Read(out, 8), 0);
    s.SetPosition(1);
    EXPECT_THROW(s.ReadBuffer(out, 3), EReadError);
    EXPECT_EQ(s.Size(), 3);
}

TEST(MemoryStream, GrowsAsItIsWritten)
{
    TMemoryStream s;
    s.WriteBuffer("abc", 3);
    s.SetPosition(1);
    s.WriteBuffer("XYZ", 3);
    ASSERT_EQ(s.Bytes().size(), 4u);
    EXPECT_EQ(std::string(s.Bytes().begin(), s.Bytes().end()), "aXYZ");
}

TEST(FileStream, CreatesReadsAndReportsMissingFiles)
{
    const std::string dir = ScratchDir("file_stream");
    const std::string name = dir + PathSep() + "a.bin";
    {
        TFileStream out(name, fmCreate);
        out.WriteBuffer("hello", 5);
        out.Close();
    }
    TFileStream in(name, fmOpenRead | fmShareDenyWrite);
    EXPECT_EQ(in.Size(), 5);
    char text[5];
    in.ReadBuffer(text, 5);
    EXPECT_EQ(std::string(text, 5), "hello");
    EXPECT_THROW(TFileStream(dir + PathSep() + "missing", fmOpenRead), EFOpenError);
    // A directory is no file to read.
    EXPECT_THROW(TFileStream(dir, fmOpenRead | fmShareDenyWrite), EFOpenError);
    EXPECT_THROW(TFileStream(dir + PathSep() + "no" + PathSep() + "x", fmCreate), EFCreateError);
    // An exclusive creation never touches a file that is there.
    EXPECT_THROW(TFileStream(name, fmCreate | fmExclusive), EFCreateError);
    EXPECT_EQ(ReadAll(name), (std::vector<std::uint8_t>{'h', 'e', 'l', 'l', 'o'}));
}

TEST(FileSystem, KindsDirectoriesAndReplacement)
{
    const std::string dir = ScratchDir("file_system");
    const std::string sub = dir + PathSep() + "sub";
    EXPECT_EQ(PathKind(sub), TPathKind::NotFound);
    EXPECT_TRUE(CreateDir(sub));
    EXPECT_EQ(PathKind(sub), TPathKind::Directory);
    EXPECT_FALSE(CreateDir(dir + PathSep() + "x" + PathSep() + "y"));
    const std::string a = sub + PathSep() + "a", b = sub + PathSep() + "b";
    WriteAll(a, {1});
    WriteAll(b, {2, 2});
    EXPECT_EQ(PathKind(a), TPathKind::Other);
    EXPECT_TRUE(MoveFileOver(a, b));
    EXPECT_EQ(ReadAll(b), std::vector<std::uint8_t>{1});
    EXPECT_FALSE(FileExists(a));
    const std::string temp = TemporarySibling(b);
    EXPECT_NE(temp, b);
    EXPECT_FALSE(FileExists(temp));
}

TEST(FileStream, LargeBlocksGoThroughWholeAndSizeFollowsTheWrites)
{
    const std::string name = ScratchDir("file_stream_blocks") + PathSep() + "big.bin";
    std::vector<std::uint8_t> block(3 * 1024 * 1024 + 17);
    for (std::size_t i = 0; i < block.size(); ++i) block[i] = std::uint8_t(i * 131 + i / 4099);
    {
        TFileStream out(name, fmCreate);
        out.WriteBuffer("head", 4);
        EXPECT_EQ(out.Size(), 4);
        out.WriteBuffer(block.data(), std::int64_t(block.size()));
        EXPECT_EQ(out.Size(), std::int64_t(block.size()) + 4);
        EXPECT_EQ(out.Position(), out.Size());
        out.Close();
    }
    TFileStream in(name, fmOpenRead | fmShareDenyWrite);
    in.SetPosition(4);
    std::vector<std::uint8_t> back(block.size() + 100);
    EXPECT_EQ(in.Read(back.data(), std::int64_t(back.size())), std::int64_t(block.size()));
    back.resize(block.size());
    EXPECT_EQ(back, block);
    EXPECT_EQ(in.Read(back.data(), 1), 0);
    EXPECT_EQ(in.Position(), in.Size());
}

// The buffered stream hands out what its source holds, whatever the mix of small
// reads, reads larger than its buffer, and seeks in and out of what it holds.
TEST(BufferedReadStream, ReadsAndSeeksAsItsSource)
{
    std::vector<std::uint8_t> bytes(100);
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = std::uint8_t(i * 7 + 1);
    TMemoryStream source(bytes);
    TBufferedReadStream stream(source, 8);
    std::uint8_t got[40] = {};
    const auto expect = [&](std::int64_t at, std::int64_t count, std::int64_t delivered) {
        SCOPED_TRACE(at);
        ASSERT_EQ(stream.Read(got, count), delivered);
        for (std::int64_t i = 0; i < delivered; ++i) ASSERT_EQ(got[i], bytes[std::size_t(at + i)]);
        EXPECT_EQ(stream.Position(), at + delivered);
    };
    expect(0, 3, 3);     // fills the buffer
    expect(3, 3, 3);     // from it
    expect(6, 20, 20);   // the rest of it, then straight through
    expect(26, 1, 1);
    EXPECT_EQ(stream.Seek(-2, soCurrent), 25);  // back within the buffer
    expect(25, 4, 4);
    stream.SetPosition(2);                       // before it
    expect(2, 5, 5);
    EXPECT_EQ(stream.Seek(-4, soEnd), 96);
    expect(96, 10, 4);                           // the end
    expect(100, 1, 0);
    EXPECT_EQ(stream.Size(), 100);
}
