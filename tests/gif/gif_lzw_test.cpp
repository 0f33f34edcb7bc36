#include <gtest/gtest.h>

#include "framework/exceptions.h"
#include "framework/streams.h"
#include "gif/gif_lzw.h"
#include "gif/gif_writer.h"
#include "gif/gif_test_util.h"

namespace {

// Collects every completed row.
class RowCollector : public kxGifRowSink {
public:
    explicit RowCollector(int width, int wantedRows = 1 << 30) : row(std::size_t(width) + 4), width_(width), wanted_(wantedRows) {}
    bool RowComplete() override
    {
        rows.emplace_back(row.begin(), row.begin() + width_);
        return int(rows.size()) < wanted_;
    }
    std::vector<std::uint8_t> row;
    std::vector<std::vector<std::uint8_t>> rows;

private:
    int width_;
    int wanted_;
};

struct LzwRun {
    TMemoryStream stream;
    std::vector<std::uint8_t> block = std::vector<std::uint8_t>(1027);
    kxGifLzw lzw;
    RowCollector rows;
    LzwRun(const std::vector<std::uint8_t>& data, int minimumCodeSize, int width)
        : stream(SubBlocks(data)), rows(width)
    {
        lzw.Start(stream, block.data(), minimumCodeSize, rows.row.data(), width, rows);
    }
    std::vector<std::uint8_t> Flat() const
    {
        std::vector<std::uint8_t> out;
        for (const auto& r : rows.rows) out.insert(out.end(), r.begin(), r.end());
        return out;
    }
};

TEST(GifLzw, CodesWidenAsTheTableGrowsAndStopAtTwelveBits)
{
    LzwRun run({}, 8, 4);
    EXPECT_EQ(run.lzw.CodeSize(), 9);
    EXPECT_EQ(run.lzw.NextFreeCode(), 258);
    while (run.lzw.NextFreeCode() < 511) run.lzw.SetCodeTable(1, 2);
    EXPECT_EQ(run.lzw.CodeSize(), 9);
    run.lzw.SetCodeTable(1, 2);  // entry 511: the next free code reaches 512
    EXPECT_EQ(run.lzw.CodeSize(), 10);
    while (run.lzw.NextFreeCode() < 4096) run.lzw.SetCodeTable(1, 2);
    EXPECT_EQ(run.lzw.CodeSize(), 12);
    run.lzw.SetCodeTable(1, 2);  // a full table takes nothing more
    EXPECT_EQ(run.lzw.NextFreeCode(), 4096);
    EXPECT_EQ(run.lzw.CodeSize(), 12);
    run.lzw.ClearCodeTable();
    EXPECT_EQ(run.lzw.CodeSize(), 9);
    EXPECT_EQ(run.lzw.NextFreeCode(), 258);
}

TEST(GifLzw, PrefixAtOrAboveTheNextFreeCodeIsRejected)
{
    LzwRun run({}, 2, 4);
    EXPECT_THROW(run.lzw.SetCodeTable(6, 0), EInvalidGraphic);
    EXPECT_NO_THROW(run.lzw.SetCodeTable(5, 0));  // the end code is below the next free one
}

TEST(GifLzw, MinimumCodeSizeAboveElevenIsRejected)
{
    TMemoryStream stream(SubBlocks({0, 0}));
    std::vector<std::uint8_t> block(1027), row(8);
    RowCollector sink(4);
    kxGifLzw lzw;
    EXPECT_THROW(lzw.Start(stream, block.data(), 12, row.data(), 4, sink), EInvalidGraphic);
    EXPECT_NO_THROW(lzw.Start(stream, block.data(), 11, row.data(), 4, sink));
}

TEST(GifLzw, CodeEqualToTheNextFreeCodeRepeatsThePreviousStringPlusItsFirstPixel)
{
    // Minimum size 2: clear 4, end 5, first free 6. "1" then 6 = "1 1".
    const auto data = CodeWriter().Put(4, 3).Put(1, 3).Put(6, 3).Put(2, 3).Put(5, 3).Bytes();
    LzwRun run(data, 2, 4);
    run.lzw.Decode();
    EXPECT_EQ(run.Flat(), (std::vector<std::uint8_t>{1, 1, 1, 2}));
}

TEST(GifLzw, CodeTwoAboveTheNextFreeCodeWritesThePreviousStringAndOnePixelThenFails)
{
    // Minimum size 2: after 3, 2, 1 the table holds 6 = "3 2" and 7 = "2 1", the
    // next free code is 8 and codes are 4 bits wide.
    const auto good = CodeWriter().Put(4, 3).Put(3, 3).Put(2, 3).Put(1, 3).Put(8, 4).Put(5, 4).Bytes();
    const auto bad = CodeWriter().Put(4, 3).Put(3, 3).Put(2, 3).Put(1, 3).Put(10, 4).Put(5, 4).Bytes();
    LzwRun ok(good, 2, 16);
    EXPECT_NO_THROW(ok.lzw.Decode());
    EXPECT_EQ(ok.lzw.Column(), 5);
    LzwRun run(bad, 2, 16);
    EXPECT_THROW(run.lzw.Decode(), EInvalidGraphic);
    // 3, 2, 1, then the previous string (1) and its first pixel (1).
    EXPECT_EQ(run.lzw.Column(), 5);
    EXPECT_EQ(std::vector<std::uint8_t>(run.rows.row.begin(), run.rows.row.begin() + 5),
              (std::vector<std::uint8_t>{3, 2, 1, 1, 1}));
}

TEST(GifLzw, UnknownCodeRightAfterAClearCodeIsRejected)
{
    const auto data = CodeWriter().Put(4, 3).Put(6, 3).Put(5, 3).Bytes();
    LzwRun run(data, 2, 4);
    EXPECT_THROW(run.lzw.Decode(), EInvalidGraphic);
    EXPECT_EQ(run.lzw.Column(), 0);
}

TEST(GifLzw, DataWithoutALeadingClearCodeDecodesTheSame)
{
    const auto pixels = NoisePixels(300, 4, 7);
    LzwOptions noClear;
    noClear.leadingClear = false;
    LzwRun with(LzwCompress(pixels, 2), 2, 30);
    LzwRun without(LzwCompress(pixels, 2, noClear), 2, 30);
    with.lzw.Decode();
    without.lzw.Decode();
    EXPECT_EQ(with.Flat(), pixels);
    EXPECT_EQ(without.Flat(), pixels);
}

TEST(GifLzw, FullTableWithAndWithoutClearCodes)
{
    // Enough noise to fill the table several times over, at 8 and 2 bits.
    for (int bits : {2, 8}) {
        const auto pixels = NoisePixels(200000, 1 << bits, 99u + unsigned(bits));
        for (bool clear : {true, false}) {
            LzwOptions options;
            options.clearWhenFull = clear;
            LzwRun run(LzwCompress(pixels, bits, options), bits, 1000);
            run.lzw.Decode();
            EXPECT_EQ(run.Flat(), pixels) << "bits " << bits << " clear " << clear;
        }
    }
}

TEST(GifLzw, LongStringsSpanSeveralRows)
{
    // A run of one index becomes strings longer than the 3-pixel rows.
    const std::vector<std::uint8_t> pixels(3000, 1);
    LzwRun run(LzwCompress(pixels, 2), 2, 3);
    run.lzw.Decode();
    EXPECT_EQ(run.rows.rows.size(), 1000u);
    EXPECT_EQ(run.Flat(), pixels);
}

TEST(GifLzw, DataWithoutAnEndCodeStopsAtTheTerminator)
{
    LzwOptions noEnd;
    noEnd.endCode = false;
    const auto pixels = NoisePixels(64, 4, 3);
    // Followed by bytes that are not image data: they must stay in the stream.
    auto bytes = SubBlocks(LzwCompress(pixels, 2, noEnd));
    bytes.push_back(0x3B);
    TMemoryStream stream(bytes);
    std::vector<std::uint8_t> block(1027);
    RowCollector rows(8);
    kxGifLzw lzw;
    lzw.Start(stream, block.data(), 2, rows.row.data(), 8, rows);
    lzw.Decode();
    EXPECT_EQ(rows.rows.size(), 8u);
    EXPECT_EQ(stream.Position(), std::int64_t(bytes.size()) - 1);
}

TEST(GifLzw, EndCodeSkipsTheRestOfTheData)
{
    auto data = LzwCompress({1, 2, 3, 0}, 2);
    data.insert(data.end(), 300, 0xAA);  // junk after the end code, over two sub-blocks
    auto bytes = SubBlocks(data);
    bytes.push_back(0x3B);
    TMemoryStream stream(bytes);
    std::vector<std::uint8_t> block(1027);
    RowCollector rows(4);
    kxGifLzw lzw;
    lzw.Start(stream, block.data(), 2, rows.row.data(), 4, rows);
    lzw.Decode();
    EXPECT_EQ(rows.rows.size(), 1u);
    EXPECT_EQ(stream.Position(), std::int64_t(bytes.size()) - 1);
}

TEST(GifLzw, StreamEndingInsideTheDataIsMalformed)
{
    auto bytes = SubBlocks(LzwCompress(NoisePixels(2000, 4, 5), 2));
    bytes.resize(bytes.size() / 2);
    TMemoryStream stream(bytes);
    std::vector<std::uint8_t> block(1027);
    RowCollector rows(50);
    kxGifLzw lzw;
    EXPECT_THROW(
        {
            lzw.Start(stream, block.data(), 2, rows.row.data(), 50, rows);
            lzw.Decode();
        },
        EInvalidGraphic);
}

TEST(GifLzw, StopsOnceTheFrameWantsNoMoreRows)
{
    const std::vector<std::uint8_t> pixels = NoisePixels(4000, 4, 1);
    auto bytes = SubBlocks(LzwCompress(pixels, 2));
    TMemoryStream stream(bytes);
    std::vector<std::uint8_t> block(1027);
    RowCollector rows(10, 3);
    kxGifLzw lzw;
    lzw.Start(stream, block.data(), 2, rows.row.data(), 10, rows);
    lzw.Decode();
    EXPECT_EQ(rows.rows.size(), 3u);
    EXPECT_EQ(stream.Position(), std::int64_t(bytes.size()));  // the rest is skipped
}

}  // namespace
