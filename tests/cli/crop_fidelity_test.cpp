// Crops keep what their source holds, from the whole picture as the window
// crops and from a region load as talvern-clip does: on every kind of BMP and
// GIF file and rectangle the two are the same file, byte for byte, and a BMP
// source's crop has the decoded picture's pixels (black outside the picture),
// its depth and at 8 bits or less its table. Then what a file cut short or
// broken does, and that a BMP region reads its rows only.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "app/clip_job.h"
#include "cli/clip_image.h"
#include "cli/console_clip_host.h"
#include "cli/region_corpus.h"
#include "framework/bitmap.h"
#include "framework/bmp_builder.h"
#include "framework/bmp_decoder.h"
#include "framework/byte_buffer.h"
#include "framework/file_system.h"
#include "framework/streams.h"
#include "gif/gif_writer.h"
#include "image/written_bmp.h"
#include "test_support.h"

namespace {

using ByteVector = std::vector<std::uint8_t>;

// One file cropped to one rectangle twice: from the whole picture, as the
// window crops, and from a region load, as talvern-clip does.
class RegionCrop {
public:
    explicit RegionCrop(const std::string& name)
        : input_(ScratchDir(name) + PathSep() + "in.gif"), wholeHost_({}, ScratchDir(name + "_whole")),
          regionHost_({}, ScratchDir(name + "_region")), whole_(wholeHost_, wholeImage_),
          region_(regionHost_, regionImage_)
    {
        region_.LoadRegionsOnly = true;
    }

    struct Result {
        bool wholeOk, regionOk;
        ByteVector whole, region;  // the files written
    };
    Result Crop(const ByteVector& bytes, const TRect& rect)
    {
        WriteAll(input_, bytes);
        whole_.ClipRect = rect;
        region_.ClipRect = rect;
        Result result{Clip(whole_, wholeHost_), Clip(region_, regionHost_), {}, {}};
        if (result.wholeOk) result.whole = ReadAll(WholeOutput());
        if (result.regionOk) result.region = ReadAll(TClipJob::OutputName(input_, regionHost_.OutputDirectory()));
        return result;
    }
    std::string RegionFailure() const { return regionImage_.FailureReason(); }
    std::string WholeOutput() { return TClipJob::OutputName(input_, wholeHost_.OutputDirectory()); }
    std::string RegionOutput() { return TClipJob::OutputName(input_, regionHost_.OutputDirectory()); }

private:
    bool Clip(TClipJob& job, TConsoleClipHost& host)
    {
        std::remove(TClipJob::OutputName(input_, host.OutputDirectory()).c_str());
        return job.ClipFile(input_);
    }

    std::string input_;
    TConsoleClipHost wholeHost_, regionHost_;
    TClipImage wholeImage_, regionImage_;
    TClipJob whole_, region_;
};

std::string Describe(const TRect& r)
{
    return std::to_string(r.Left) + "," + std::to_string(r.Top) + "," + std::to_string(r.Right) + "," +
           std::to_string(r.Bottom);
}

TDecodedBmp Decode(const ByteVector& bytes)
{
    TCustomMemoryStream stream(bytes.data(), std::int64_t(bytes.size()));
    return DecodeBmpFile(stream);
}

std::uint32_t Pixel(const TDecodedBmp& picture, int x, int y)
{
    return picture.Pixels->Bits()[std::size_t(y) * std::size_t(picture.Width) + std::size_t(x)] & 0xFFFFFF;
}

std::vector<std::uint32_t> Table(const TLogPalette& palette)
{
    std::vector<std::uint32_t> table;
    for (int i = 0; i < palette.palNumEntries; ++i) {
        const TPaletteEntry& e = palette.palPalEntry[std::size_t(i)];
        table.push_back(std::uint32_t(e.peRed) << 16 | std::uint32_t(e.peGreen) << 8 | e.peBlue);
    }
    return table;
}

// The whole picture's crop of a BMP file against its decoded source.
void ExpectFaithful(const TRegionSample& sample, const TRect& rect, const std::string& output)
{
    const TDecodedBmp source = Decode(sample.Bytes);
    const TWrittenBmp file(output);
    const TDecodedBmp crop = Decode(file.Bytes);
    ASSERT_EQ(crop.Width, rect.Right - rect.Left);
    ASSERT_EQ(crop.Height, rect.Bottom - rect.Top);
    EXPECT_EQ(file.Depth(), int(sample.Bits));
    std::vector<std::uint32_t> table;
    if (sample.Bits <= 8) {
        ASSERT_NE(source.Palette, nullptr);
        table = Table(*source.Palette);
        EXPECT_EQ(file.Table(), table);
    }
    // An indexed crop writes the black of indices past a short table, and of
    // what lies outside the picture, as the table's nearest colour.
    const auto indexable = [&](std::uint32_t color) {
        return sample.Bits > 8 || std::find(table.begin(), table.end(), color) != table.end();
    };
    for (int y = rect.Top; y < rect.Bottom; ++y)
        for (int x = rect.Left; x < rect.Right; ++x) {
            const bool inside = x >= 0 && y >= 0 && x < sample.Width && y < sample.Height;
            const std::uint32_t expected = inside ? Pixel(source, x, y) : 0;
            if (!indexable(expected)) continue;
            ASSERT_EQ(Pixel(crop, x - rect.Left, y - rect.Top), expected) << x << "," << y;
        }
}

TEST(CropFidelity, RegionAndWholeCropsAreOneFaithfulFileOnEveryKindOfFileAndRectangle)
{
    RegionCrop crop("crop_fidelity");
    int written = 0;
    for (const TRegionSample& sample : RegionSamples()) {
        for (const TRect& rect : RegionRects(sample.Width, sample.Height)) {
            SCOPED_TRACE(sample.Name + " " + Describe(rect));
            const auto result = crop.Crop(sample.Bytes, rect);
            EXPECT_EQ(result.wholeOk, rect.Right > rect.Left);
            ASSERT_EQ(result.regionOk, result.wholeOk);
            ASSERT_EQ(result.region, result.whole);
            if (result.wholeOk && sample.Bits != 0) ExpectFaithful(sample, rect, crop.WholeOutput());
            written += result.wholeOk;
        }
    }
    EXPECT_GT(written, 1300);
}

// 5 x 9 pixels at 24 bits: rows of 15 bytes and one of padding.
BmpLayout Layout24(bool topDown)
{
    BmpLayout layout{.width = 5, .height = topDown ? -9 : 9, .bitCount = 24};
    for (int i = 0; i < 9 * 16; ++i) layout.pixels.push_back(std::uint8_t(i * 7));
    return layout;
}

TEST(RegionCrop, AnUncompressedFileCutShortFailsWhereverItEnds)
{
    // The file's size tells that rows are missing, above, inside or below the
    // region, without reading them; only the last row's padding may go.
    RegionCrop crop("region_cut_bmp");
    const TRect middle{0, 3, 5, 6};
    for (bool topDown : {false, true}) {
        const ByteVector full = MakeBmp(Layout24(topDown));
        const std::size_t dataStart = full.size() - 9 * 16;
        for (std::size_t rows = 0; rows < 9; ++rows) {
            SCOPED_TRACE(std::to_string(rows) + (topDown ? " top-down" : " bottom-up"));
            const ByteVector cut(full.begin(), full.begin() + std::ptrdiff_t(dataStart + rows * 16 + 8));
            const auto result = crop.Crop(cut, middle);
            EXPECT_FALSE(result.wholeOk);
            EXPECT_FALSE(result.regionOk);
            EXPECT_EQ(crop.RegionFailure(), "ビットマップが不正です");
        }
        const auto unpadded = crop.Crop(ByteVector(full.begin(), full.end() - 1), middle);
        EXPECT_TRUE(unpadded.regionOk);
        EXPECT_EQ(unpadded.region, unpadded.whole);
    }
}

TEST(RegionCrop, ACropLargerThanAnyBitmapFailsFromEitherLoadAndWritesNothing)
{
    // 20000 x 20000 pixels, past the bitmap limit, around a picture of 5 x 9:
    // the whole picture's crop cannot be made, and the crop written from a
    // 24-bit file's own rows must not become a 1.2 GB file instead.
    RegionCrop crop("region_too_large");
    const TRect huge{-10000, -10000, 10000, 10000};
    for (const ByteVector& bytes : {MakeBmp(Layout24(false)), MakeBmp(Layout24(true))}) {
        const auto result = crop.Crop(bytes, huge);
        EXPECT_FALSE(result.wholeOk);
        EXPECT_FALSE(result.regionOk);
        EXPECT_EQ(crop.RegionFailure(), "");  // the load succeeded; the crop failed
        EXPECT_FALSE(FileExists(crop.RegionOutput()));
    }
}

TEST(RegionCrop, RleDataIsReadUpToTheRegionsTopRowOnly)
{
    // Four rows of one run each, bottom row first: data cut above the region
    // is never read, so the region's crop is made; cut inside it, it fails.
    BmpLayout layout{.width = 4, .height = 4, .bitCount = 8, .compression = 1, .colorsUsed = 4,
                     .colors = {0x102030, 0x405060, 0x708090, 0xA0B0C0}};
    layout.pixels = {4, 0, 0, 0, 4, 1, 0, 0, 4, 2, 0, 0, 4, 3, 0, 1};
    const ByteVector full = MakeBmp(layout);
    const TRect bottom{0, 2, 4, 4};
    RegionCrop crop("region_cut_rle");
    const auto complete = crop.Crop(full, bottom);
    ASSERT_TRUE(complete.regionOk);

    const auto cutAbove = crop.Crop(ByteVector(full.begin(), full.end() - 7), bottom);
    EXPECT_FALSE(cutAbove.wholeOk);
    ASSERT_TRUE(cutAbove.regionOk);
    EXPECT_EQ(cutAbove.region, complete.whole);

    const auto cutInside = crop.Crop(ByteVector(full.begin(), full.end() - 11), bottom);
    EXPECT_FALSE(cutInside.wholeOk);
    EXPECT_FALSE(cutInside.regionOk);
}

// A 4 x rows frame of four colours whose first row is 0 1 2 3 and whose second
// row starts with a code the table does not hold yet.
ByteVector BrokenSecondRow(int frames)
{
    GifImage image;
    image.width = 4;
    image.height = 2;
    image.globalRgb = Rgb({0x112233, 0x445566, 0x778899, 0xAABBCC});
    ByteVector bytes = GifHead(image);
    CodeWriter codes;
    codes.Put(4, 3).Put(0, 3).Put(1, 3).Put(2, 3).Put(3, 4).Put(15, 4).Put(5, 4);
    for (int i = 0; i < frames; ++i) {
        bytes.insert(bytes.end(), {0x2C, 0, 0, 0, 0, 4, 0, 2, 0, 0, 2});
        const ByteVector data = SubBlocks(i == 0 ? codes.Bytes() : LzwCompress({1, 1, 1, 1, 1, 1, 1, 1}, 2));
        bytes.insert(bytes.end(), data.begin(), data.end());
    }
    bytes.push_back(0x3B);
    return bytes;
}

TEST(RegionCrop, AGifsLastFrameIsDecodedDownToTheRegionsLastRowOnly)
{
    RegionCrop crop("region_gif_broken");
    const TRect firstRow{0, 0, 4, 1};
    // The broken row lies below the region of the last frame: never decoded.
    const auto below = crop.Crop(BrokenSecondRow(1), firstRow);
    EXPECT_FALSE(below.wholeOk);
    EXPECT_TRUE(below.regionOk);
    EXPECT_FALSE(crop.Crop(BrokenSecondRow(1), TRect{0, 0, 4, 2}).regionOk);
    // A frame that another follows is decoded whole, and fails as it would.
    const auto drawnOver = crop.Crop(BrokenSecondRow(2), firstRow);
    EXPECT_FALSE(drawnOver.regionOk);
    EXPECT_EQ(crop.RegionFailure(), "GIFイメージが不正です");
}

TEST(RegionCrop, AGifCutShortBelowTheRegionFailsAsTheWholeLoadDoes)
{
    ByteVector full;
    for (const TRegionSample& sample : RegionSamples())
        if (sample.Name == "gif_plain") full = sample.Bytes;
    ASSERT_FALSE(full.empty());
    RegionCrop crop("region_gif_cut");
    const TRect top{0, 0, 20, 3};
    ASSERT_TRUE(crop.Crop(full, top).regionOk);
    for (std::size_t cut : {1, 2, 6}) {
        SCOPED_TRACE(cut);
        const auto result = crop.Crop(ByteVector(full.begin(), full.end() - std::ptrdiff_t(cut)), top);
        EXPECT_FALSE(result.wholeOk);
        EXPECT_FALSE(result.regionOk);
    }
}

// Counts the bytes read from a file image; a plain stream, not a memory one,
// so that the decoder reads it as it reads a file.
class CountingStream : public TStream {
public:
    explicit CountingStream(const ByteVector& bytes) : memory_(bytes.data(), std::int64_t(bytes.size())) {}
    std::int64_t Read(void* buffer, std::int64_t count) override
    {
        const std::int64_t n = memory_.Read(buffer, count);
        BytesRead += n;
        return n;
    }
    std::int64_t Write(const void*, std::int64_t) override { return 0; }
    std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override { return memory_.Seek(offset, origin); }
    std::int64_t BytesRead = 0;

private:
    TCustomMemoryStream memory_;
};

TEST(RegionCrop, ABmpRegionReadsItsHeaderAndTheBytesOfItsRowsOnly)
{
    struct Case {
        int width, bits;
        TRect region;
        std::int64_t mostRead;
    };
    // Short rows are read whole, a few at a time; long ones each its columns.
    const Case cases[] = {
        {100, 24, {10, 10, 90, 20}, 4096 + 10 * 300},
        {8000, 24, {100, 1, 740, 4}, 4096 + 3 * 640 * 3},
        {6000, 1, {9, 1, 7000, 3}, 4096 + 2 * 752},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.width);
        BmpLayout layout{.width = c.width, .height = 30, .bitCount = unsigned(c.bits)};
        if (c.bits == 1) layout.colors = {0x000000, 0xFFFFFF};
        for (std::size_t i = 0; i < BmpRowBytes(c.width, c.bits) * 30; ++i) layout.pixels.push_back(std::uint8_t(i * 13 + i / 7));
        const ByteVector file = MakeBmp(layout);
        CountingStream stream(file);
        TByteBuffer rows;
        const TDecodedBmp part = DecodeBmpFile(stream, c.region, rows);
        EXPECT_LE(stream.BytesRead, c.mostRead);
        TCustomMemoryStream memory(file.data(), std::int64_t(file.size()));
        const TDecodedBmp whole = DecodeBmpFile(memory);
        ASSERT_EQ(part.Origin, (TPoint{c.region.Left, c.region.Top}));
        const int right = std::min(c.region.Right, c.width);
        ASSERT_EQ(part.Width, right - c.region.Left);
        for (int y = 0; y < part.Height; ++y)
            ASSERT_EQ(std::memcmp(part.Pixels->Bits() + std::size_t(y) * std::size_t(part.Width),
                                  whole.Pixels->Bits() + std::size_t(y + c.region.Top) * std::size_t(c.width) + c.region.Left,
                                  std::size_t(part.Width) * 4),
                      0);
    }
}

}  // namespace
