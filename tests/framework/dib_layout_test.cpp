#include <gtest/gtest.h>

#include "framework/dib_layout.h"
#include "test_support.h"

namespace {

Bytes Header(std::uint32_t size, std::int32_t width, std::int32_t height, unsigned bits, std::uint32_t compression,
             std::uint32_t imageSize = 0, std::uint32_t colors = 0)
{
    Bytes b;
    b.u32(size).u32(std::uint32_t(width)).u32(std::uint32_t(height)).u16(1).u16(bits).u32(compression);
    b.u32(imageSize).u32(0).u32(0).u32(colors).u32(0);
    return b.fill(size - 40);
}

std::optional<TDibLayout> Measure(const Bytes& b, std::size_t extra = 0)
{
    Bytes room = b;
    room.fill(extra);
    return MeasureDib(room.data.data(), b.size() + extra);
}

}  // namespace

TEST(DibLayout, PartsFollowFromTheHeaderForm)
{
    // 8 bits without a colour count: the full table; the size computed from the rows.
    auto dib = Measure(Header(40, 3, 2, 8, 0), 1024);
    ASSERT_TRUE(dib);
    EXPECT_EQ(dib->InfoSize(), 40u + 1024u);
    EXPECT_EQ(dib->ImageSize, 8u);
    // 16-bit bit fields after a 40-byte header; inside a V5 header they are part of it.
    dib = Measure(Header(40, 3, -2, 16, 3), 12);
    ASSERT_TRUE(dib);
    EXPECT_EQ(dib->InfoSize(), 52u);
    EXPECT_EQ(dib->ImageSize, 16u);
    dib = Measure(Header(124, 1, 1, 32, 3));
    ASSERT_TRUE(dib);
    EXPECT_EQ(dib->InfoSize(), 124u);
    // 24 bits with a colour hint of 2 entries; a stated size larger than the rows is kept.
    dib = Measure(Header(40, 1, 1, 24, 0, 100, 2), 8);
    ASSERT_TRUE(dib);
    EXPECT_EQ(dib->TableSize, 8u);
    EXPECT_EQ(dib->ImageSize, 100u);
    // OS/2: 16-bit sizes, 3-byte entries.
    Bytes os2;
    os2.u32(12).u16(5).u16(4).u16(1).u16(4);
    dib = Measure(os2, 48);
    ASSERT_TRUE(dib);
    EXPECT_EQ(dib->InfoSize(), 12u + 48u);
    EXPECT_EQ(dib->ImageSize, 16u);
}

TEST(DibLayout, HeadersThatDoNotFitOrMakeNoSenseAreRefused)
{
    EXPECT_FALSE(Measure(Header(40, 3, 2, 8, 0), 1023));  // table cut short
    EXPECT_FALSE(Measure(Header(40, 3, 2, 16, 3), 11));   // masks cut short
    EXPECT_FALSE(MeasureDib(Header(40, 1, 1, 24, 0).data.data(), 39));
    EXPECT_FALSE(Measure(Header(44, 1, 1, 24, 0)));  // no such header
    EXPECT_FALSE(Measure(Header(40, 0, 1, 24, 0)));
    EXPECT_FALSE(Measure(Header(40, 1, 0, 24, 0)));
    EXPECT_FALSE(Measure(Header(40, 1, INT32_MIN, 24, 0)));
    EXPECT_FALSE(Measure(Header(40, 1, 1, 7, 0)));
    EXPECT_FALSE(Measure(Header(40, 1, 1, 24, 1)));             // RLE8 at 24 bits
    EXPECT_FALSE(Measure(Header(40, 4, 4, 8, 1, 0), 1024));     // RLE without a size
    EXPECT_FALSE(Measure(Header(40, 65536, 65536, 32, 0)));     // 16 GiB of bits
    EXPECT_FALSE(Measure(Header(40, 1, 1, 24, 0, 0, 70000)));   // absurd colour count
    EXPECT_FALSE(MeasureDib(nullptr, 100));
}
