// The link walk in steps of several pixels: strings of every length around the
// step size, the string-plus-first-pixel case on both sides of a step, the full
// table, and how the code reader ends when the stream ends inside the data.
#include <gtest/gtest.h>

#include "framework/exceptions.h"
#include "framework/streams.h"
#include "gif/gif_lzw.h"
#include "gif/gif_test_util.h"
#include "gif/gif_writer.h"

namespace {

class Rows : public kxGifRowSink {
public:
    explicit Rows(int width) : row(std::size_t(width)), width_(width) {}
    bool RowComplete() override
    {
        pixels.insert(pixels.end(), row.begin(), row.end());
        return true;
    }
    std::vector<std::uint8_t> row;
    std::vector<std::uint8_t> pixels;

private:
    int width_;
};

std::vector<std::uint8_t> Decode(const std::vector<std::uint8_t>& pixels, int minimumCodeSize, int width,
                                 const LzwOptions& options = {})
{
    TMemoryStream stream(SubBlocks(LzwCompress(pixels, minimumCodeSize, options)));
    std::vector<std::uint8_t> block(1027);
    Rows rows(width);
    kxGifLzw lzw;
    lzw.Start(stream, block.data(), minimumCodeSize, rows.row.data(), width, rows);
    lzw.Decode();
    return rows.pixels;
}

TEST(GifLzwWalk, EveryStringLengthAroundTheStepIsWrittenInOrder)
{
    // One chain of distinct bytes from a root: entry k holds the bytes 0..k.
    Rows rows(4096);
    TMemoryStream stream(SubBlocks({}));
    std::vector<std::uint8_t> block(1027);
    kxGifLzw lzw;
    lzw.Start(stream, block.data(), 8, rows.row.data(), 4096, rows);
    std::vector<int> codeOfLength{-1, 0};
    for (int length = 2; length <= 40; ++length) {
        codeOfLength.push_back(lzw.NextFreeCode());
        lzw.SetCodeTable(codeOfLength[std::size_t(length - 1)], std::uint8_t(length - 1));
    }
    std::vector<std::uint8_t> expected;
    for (int length = 1; length <= 40; ++length) {
        EXPECT_EQ(lzw.WriteCodeTable(codeOfLength[std::size_t(length)]), 0);
        for (int i = 0; i < length; ++i) expected.push_back(std::uint8_t(i));
    }
    ASSERT_EQ(lzw.Column(), int(expected.size()));
    EXPECT_EQ(std::vector<std::uint8_t>(rows.row.begin(), rows.row.begin() + lzw.Column()), expected);
}

TEST(GifLzwWalk, RepeatedPatternsGiveStringPlusFirstPixelCodesOfEveryLength)
{
    // A pattern repeated over and over makes ever longer strings, most of them
    // coded as the previous string plus its first pixel, across every step
    // boundary; rows of several widths cut them at every offset.
    for (int period = 1; period <= 19; ++period) {
        std::vector<std::uint8_t> pixels;
        for (int i = 0; i < 6000; ++i) pixels.push_back(std::uint8_t((i % period) * 7 % 16));
        for (int width : {1, 7, 8, 9, 600}) {
            std::vector<std::uint8_t> expected(pixels.begin(), pixels.begin() + (6000 / width) * width);
            EXPECT_EQ(Decode(pixels, 4, width), expected) << "period " << period << " width " << width;
        }
    }
}

TEST(GifLzwWalk, LongStringsFillTheTableAndGoOnWithTwelveBitCodes)
{
    // A slowly changing pattern fills the table with strings hundreds of pixels
    // long; without clear codes the full table's strings are used on and on.
    std::vector<std::uint8_t> pixels;
    for (int i = 0; i < 400000; ++i) pixels.push_back(std::uint8_t((i / 3 + i / 1001) % 5 + (i % 97 == 0)));
    for (bool clear : {true, false}) {
        LzwOptions options;
        options.clearWhenFull = clear;
        EXPECT_EQ(Decode(pixels, 3, 1000, options), pixels) << "clear " << clear;
        EXPECT_EQ(Decode(pixels, 8, 1000, options), pixels) << "clear " << clear;
    }
}

TEST(GifLzwWalk, StreamEndingInsideTheDataDecodesTheCodesBeforeTheMissingBytes)
{
    // 8-bit codes (minimum size 7), one pixel each after the leading clear code,
    // in one sub-block of n bytes with nothing after it. The window takes the
    // data 16 bits at a time: the code that would need the step bringing in the
    // missing byte fails, every code before it is decoded.
    for (int n : {4, 5, 6, 17, 18, 31, 57, 58}) {
        CodeWriter writer;
        writer.Put(128, 8);
        for (int i = 1; i < n; ++i) writer.Put(unsigned(i % 100), 8);
        std::vector<std::uint8_t> bytes{std::uint8_t(n)};
        const auto data = writer.Bytes();
        bytes.insert(bytes.end(), data.begin(), data.end());
        TMemoryStream stream(bytes);
        std::vector<std::uint8_t> block(1027);
        Rows rows(1000);
        kxGifLzw lzw;
        lzw.Start(stream, block.data(), 7, rows.row.data(), 1000, rows);
        EXPECT_THROW(lzw.Decode(), EInvalidGraphic);
        const int decodedCodes = 2 * ((n - 2) / 2);  // codes starting before bit 16 * ((n - 2) / 2)
        EXPECT_EQ(lzw.Column(), decodedCodes - 1) << n << " bytes";
        for (int i = 1; i < decodedCodes; ++i) ASSERT_EQ(rows.row[std::size_t(i - 1)], i % 100) << n << " bytes";
    }
}

TEST(GifLzwWalk, StreamEndingInTheFirstFourBytesFailsAtOnce)
{
    std::vector<std::uint8_t> block(1027);
    Rows rows(8);
    kxGifLzw lzw;
    TMemoryStream three(std::vector<std::uint8_t>{3, 0x80, 0, 0});
    EXPECT_THROW(lzw.Start(three, block.data(), 7, rows.row.data(), 8, rows), EInvalidGraphic);
    // Three bytes and the terminator are a whole (if short) image.
    TMemoryStream ended(std::vector<std::uint8_t>{3, 0x80, 1, 2, 0});
    lzw.Start(ended, block.data(), 7, rows.row.data(), 8, rows);
    EXPECT_NO_THROW(lzw.Decode());
    EXPECT_EQ(lzw.Column(), 2);
}

TEST(GifLzwWalk, IncompleteRowKeepsThePreviousRowsPixelsWithoutACopyRow)
{
    // Width 4: "0 1 2 3" completes a row, then "3 3" ends the data. Row() holds
    // the new pixels, then what the completed row had to their right.
    const auto data = CodeWriter().Put(4, 3).Put(0, 3).Put(1, 3).Put(2, 3).Put(3, 4).Put(3, 4).Put(3, 4).Put(5, 4).Bytes();
    TMemoryStream stream(SubBlocks(data));
    std::vector<std::uint8_t> block(1027);
    struct Seen : kxGifRowSink {
        kxGifLzw* lzw = nullptr;
        std::vector<std::uint8_t> first;
        bool RowComplete() override
        {
            first.assign(lzw->Row(), lzw->Row() + 4);
            return true;
        }
    } seen;
    kxGifLzw lzw;
    seen.lzw = &lzw;
    lzw.Start(stream, block.data(), 2, nullptr, 4, seen);
    lzw.Decode();
    EXPECT_EQ(seen.first, (std::vector<std::uint8_t>{0, 1, 2, 3}));
    ASSERT_EQ(lzw.Column(), 2);
    EXPECT_EQ(std::vector<std::uint8_t>(lzw.Row(), lzw.Row() + 4), (std::vector<std::uint8_t>{3, 3, 2, 3}));
    // A fresh image that ends before its first row sees zeros to its right.
    TMemoryStream short_(SubBlocks(CodeWriter().Put(4, 3).Put(1, 3).Put(5, 3).Bytes()));
    lzw.Start(short_, block.data(), 2, nullptr, 4, seen);
    lzw.Decode();
    ASSERT_EQ(lzw.Column(), 1);
    EXPECT_EQ(std::vector<std::uint8_t>(lzw.Row(), lzw.Row() + 4), (std::vector<std::uint8_t>{1, 0, 0, 0}));
}

}  // namespace
