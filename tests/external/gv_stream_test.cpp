#include <gtest/gtest.h>

#include "external/kxv_gv_stream.h"
#include "framework/bitmap.h"
#include "framework/exceptions.h"
#include "test_support.h"

namespace {

// A packed DIB: 40-byte header, masks for bit fields, `colors` table entries,
// then `imageBytes` of pixel data; biSizeImage as given.
Bytes PackedDib(int width, int height, int bits, std::uint32_t compression, std::uint32_t colors,
                std::uint32_t sizeImage, std::size_t imageBytes)
{
    Bytes b;
    b.u32(40).u32(width).u32(height).u16(1).u16(bits).u32(compression).u32(sizeImage).u32(0).u32(0).u32(colors).u32(0);
    if (compression == 3) b.u32(0x7C00).u32(0x03E0).u32(0x001F);
    const std::uint32_t entries = colors ? colors : bits <= 8 ? 1u << bits : 0;
    for (std::uint32_t i = 0; i < entries; ++i) b.u32(i * 0x010101);
    for (std::size_t i = 0; i < imageBytes; ++i) b.u8(std::uint8_t(i * 37));
    return b;
}

std::vector<std::uint8_t> ReadWhole(kxvGVStream& stream, std::int64_t step)
{
    std::vector<std::uint8_t> out;
    std::uint8_t buffer[64];
    for (std::int64_t n; (n = stream.Read(buffer, step)) > 0;) out.insert(out.end(), buffer, buffer + n);
    return out;
}

}  // namespace

TEST(GVStream, ServesAFileHeaderThenTheDIBInPlaceUpToItsSize)
{
    // Four bits, biClrUsed 0: sixteen entries; biSizeImage 0: the rows' size (2 rows of 4 bytes).
    Bytes dib = PackedDib(3, 2, 4, 0, 0, 0, 8);
    dib.fill(5, 0xEE);  // bytes past the image are not part of the file
    kxvGVStream stream(dib.data.data(), dib.size());
    EXPECT_EQ(stream.BitCount, 4);
    EXPECT_EQ(stream.HeaderLength, 118u);
    EXPECT_EQ(stream.Size(), 118 + 8);
    EXPECT_EQ(stream.Memory(), nullptr);
    const std::vector<std::uint8_t> file = ReadWhole(stream, 5);  // reads that straddle the header's end
    Bytes header;
    header.u8('B').u8('M').u32(126).u32(0).u32(118);
    ASSERT_EQ(file.size(), 126u);
    EXPECT_EQ(std::vector<std::uint8_t>(file.begin(), file.begin() + 14), header.data);
    EXPECT_EQ(std::vector<std::uint8_t>(file.begin() + 14, file.end()),
              std::vector<std::uint8_t>(dib.data.begin(), dib.data.begin() + 112));
    EXPECT_EQ(stream.Write(file.data(), 4), 0);

    stream.SetPosition(0);
    TBitmap bitmap;
    bitmap.LoadFromStream(stream);
    EXPECT_EQ(bitmap.Width(), 3);
    EXPECT_EQ(bitmap.Height(), 2);
}

TEST(GVStream, BitFieldsAddTheirMasksToTheHeaderLength)
{
    const Bytes dib = PackedDib(2, 2, 16, 3, 0, 8, 8);
    kxvGVStream stream(dib.data.data(), dib.size());
    EXPECT_EQ(stream.HeaderLength, 66u);
    EXPECT_EQ(stream.BitCount, 16);
}

TEST(GVStream, ABlockShorterThanItsHeaderClaimsIsRefused)
{
    const Bytes whole = PackedDib(4, 4, 24, 0, 0, 0, 48);
    for (std::size_t cut : {std::size_t{1}, std::size_t{48}, whole.size() - 20}) {
        SCOPED_TRACE(cut);
        EXPECT_THROW(kxvGVStream(whole.data.data(), whole.size() - cut), EReadError);
    }
    const Bytes claimsMore = PackedDib(4, 4, 24, 0, 0, 4096, 48);  // biSizeImage beyond the block
    EXPECT_THROW(kxvGVStream(claimsMore.data.data(), claimsMore.size()), EReadError);
}
