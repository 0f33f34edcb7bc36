// The plug-in DIB presented as a BMP file image: header sizes, the repairs, the
// bounds, and the two-piece read over header and bits.
#include <gtest/gtest.h>

#include "external/dib_file_stream.h"
#include "framework/bitmap.h"
#include "test_support.h"

namespace {

Bytes Header(std::uint32_t size, std::int32_t width, std::int32_t height, unsigned bits, std::uint32_t compression,
             std::uint32_t imageSize, std::uint32_t colors)
{
    Bytes b;
    b.u32(size).u32(std::uint32_t(width)).u32(std::uint32_t(height)).u16(1).u16(bits).u32(compression).u32(imageSize);
    b.u32(0).u32(0).u32(colors).u32(0);
    b.fill(size - 40);
    return b;
}

std::uint32_t U32At(const std::vector<std::uint8_t>& v, std::size_t at)
{
    return v[at] | v[at + 1] << 8 | v[at + 2] << 16 | std::uint32_t(v[at + 3]) << 24;
}

std::vector<std::uint8_t> ReadWhole(TDibFileStream& stream)
{
    std::vector<std::uint8_t> all(std::size_t(stream.Size()) + 16);
    stream.SetPosition(0);
    all.resize(std::size_t(stream.Read(all.data(), std::int64_t(all.size()))));
    return all;
}

TEST(DibFileStream, HeaderSizeFollowsTableAndMasks)
{
    std::vector<std::uint8_t> bits(64, 0);
    struct Case {
        Bytes info;
        std::uint32_t headerSize;
    } cases[] = {
        {Header(40, 4, 1, 8, 0, 4, 0).fill(1024), 1078},
        {Header(40, 2, 2, 24, 0, 16, 0), 54},
        {Header(40, 2, 1, 16, 3, 4, 0).u32(0xF800).u32(0x07E0).u32(0x001F), 66},
        {Header(124, 2, 1, 24, 0, 8, 0), 14 + 124},
    };
    for (auto& c : cases) {
        TDibFileStream stream;
        ASSERT_TRUE(stream.Open(c.info.data.data(), c.info.size(), bits.data(), bits.size()));
        EXPECT_EQ(stream.HeaderSize(), c.headerSize);
        const std::vector<std::uint8_t> file = ReadWhole(stream);
        EXPECT_EQ(file[0], 'B');
        EXPECT_EQ(file[1], 'M');
        EXPECT_EQ(U32At(file, 2), c.headerSize + stream.BitsSize());
        EXPECT_EQ(U32At(file, 10), c.headerSize);
        EXPECT_EQ(file.size(), c.headerSize + stream.BitsSize());
    }
}

TEST(DibFileStream, MoreThan256ColoursKeepOnlyWhatTheDepthIndexes)
{
    Bytes info = Header(40, 4, 1, 8, 0, 4, 300);
    for (int i = 0; i < 300; ++i) info.u8(0).u8(0).u8(i).u8(0);
    const std::uint8_t bits[4] = {0, 1, 2, 255};
    TDibFileStream stream;
    ASSERT_TRUE(stream.Open(info.data.data(), info.size(), bits, sizeof bits));
    EXPECT_EQ(stream.HeaderSize(), 1078u);
    TBitmap bitmap;
    bitmap.LoadFromStream(stream);
    EXPECT_EQ(bitmap.ScanLine(0)[3] >> 16 & 0xFF, 255u);
    ASSERT_TRUE(stream.MakePalette());
    EXPECT_EQ(stream.MakePalette()->palNumEntries, 256);

    Bytes wide = Header(40, 1, 1, 24, 0, 4, 300).fill(1200);
    ASSERT_TRUE(stream.Open(wide.data.data(), wide.size(), bits, sizeof bits));
    EXPECT_EQ(stream.HeaderSize(), 54u);
    EXPECT_FALSE(stream.MakePalette());
}

TEST(DibFileStream, BlocksSmallerThanTheHeaderSaysAreRefused)
{
    std::vector<std::uint8_t> bits(47, 0);
    const Bytes info = Header(40, 4, 4, 24, 0, 48, 0);
    TDibFileStream stream;
    EXPECT_FALSE(stream.Open(info.data.data(), info.size(), bits.data(), bits.size()));
    bits.push_back(0);
    EXPECT_TRUE(stream.Open(info.data.data(), info.size(), bits.data(), bits.size()));
    const Bytes table = Header(40, 4, 1, 8, 0, 4, 0).fill(1020);  // four bytes short of its table
    EXPECT_FALSE(stream.Open(table.data.data(), table.size(), bits.data(), bits.size()));
    EXPECT_EQ(stream.Size(), 0);
}

TEST(DibFileStream, ZeroImageSizeIsComputedAndReadsStopAtTheBits)
{
    const Bytes info = Header(40, 2, 2, 24, 0, 0, 0);
    std::vector<std::uint8_t> bits(16);
    for (std::size_t i = 0; i < bits.size(); ++i) bits[i] = std::uint8_t(i + 1);
    TDibFileStream stream;
    ASSERT_TRUE(stream.Open(info.data.data(), info.size(), bits.data(), bits.size()));
    EXPECT_EQ(stream.BitsSize(), 16u);
    const std::vector<std::uint8_t> file = ReadWhole(stream);
    EXPECT_EQ(U32At(file, 14 + 20), 16u);
    EXPECT_EQ(std::vector<std::uint8_t>(file.begin() + 54, file.end()), bits);

    std::uint8_t piece[8] = {};
    stream.SetPosition(50);  // across the seam between header and bits
    EXPECT_EQ(stream.Read(piece, 8), 8);
    EXPECT_EQ(piece[4], 1);
    stream.SetPosition(54 + 14);
    EXPECT_EQ(stream.Read(piece, 8), 2);
    EXPECT_EQ(stream.Write(piece, 8), 0);
    // Header and bits are two blocks: the stream must not pass for one.
    EXPECT_EQ(stream.Memory(), nullptr);
}

TEST(DibFileStream, V5HeaderLoadsAsWhatItIs)
{
    const Bytes info = Header(124, 2, 1, 24, 0, 8, 0);
    const std::uint8_t bits[8] = {255, 0, 0, 0, 0, 255, 0, 0};
    TDibFileStream stream;
    ASSERT_TRUE(stream.Open(info.data.data(), info.size(), bits, sizeof bits));
    TBitmap bitmap;
    bitmap.LoadFromStream(stream);
    ASSERT_EQ(bitmap.Width(), 2);
    EXPECT_EQ(bitmap.ScanLine(0)[0] & 0xFFFFFF, 0x0000FFu);
    EXPECT_EQ(bitmap.ScanLine(0)[1] & 0xFFFFFF, 0xFF0000u);
}

}  // namespace
