#include <gtest/gtest.h>

#include "framework/canvas.h"
#include "framework/exceptions.h"
#include "gif/gif_compose.h"
#include "gif/gif_test_util.h"
#include "gif/gif_writer.h"
#include "test_support.h"

namespace {

GifImage OneFrame(int width, int height, int colors, std::uint32_t seed)
{
    GifImage image;
    image.width = width;
    image.height = height;
    image.globalRgb = DistinctRgb(colors);
    GifFrame frame;
    frame.width = width;
    frame.height = height;
    frame.pixels = NoisePixels(std::size_t(width) * height, colors, seed);
    image.frames.push_back(frame);
    return image;
}

std::vector<std::uint32_t> Expected(const GifImage& image)
{
    std::vector<ComposeFrame> frames;
    for (const GifFrame& f : image.frames) {
        ComposeFrame c;
        c.left = f.left;
        c.top = f.top;
        c.width = f.width;
        c.height = f.height;
        c.pixels = f.pixels;
        c.rgb = f.localRgb.empty() ? image.globalRgb : f.localRgb;
        c.transparent = f.control && f.transparent;
        c.transparentIndex = f.transparentIndex;
        c.disposal = f.control ? f.disposal : 0;
        frames.push_back(c);
    }
    const std::uint32_t background =
        image.globalRgb.size() > std::size_t(image.background) * 3 ? RgbAt(image.globalRgb, image.background) : 0;
    return ComposeFrames(image.width, image.height, background, frames);
}

std::vector<std::uint8_t> Header(const std::string& signature)
{
    return Bytes().str(signature).u16(2).u16(2).u8(0x80).u8(1).u8(0).u8(0).u8(0).u8(0).u8(0xFF).u8(0).u8(0).data;
}

TEST(GifDecode, AnyVersionIsAcceptedButOnlyAnUpperCaseSignature)
{
    for (const char* version : {"GIF87a", "GIF89a", "GIFxyz"}) {
        auto bytes = Header(version);
        bytes.push_back(0x3B);
        auto bitmap = DecodeGif(bytes);
        ASSERT_EQ(bitmap->Width(), 2) << version;
        EXPECT_EQ(Px(*bitmap, 1, 1), 0xFF0000u) << "background index 1";
    }
    auto lower = Header("gif89a");
    lower.push_back(0x3B);
    kxvGIF gif;
    TMemoryStream probe(lower);
    EXPECT_FALSE(gif.IsSupport(probe));
    try {
        DecodeGif(gif, lower);
        FAIL() << "accepted a lower-case signature";
    } catch (const EInvalidGraphic& e) {
        EXPECT_EQ(e.Message, "GIFイメージが不正です");
    }
}

TEST(GifDecode, DisabledComponentRejectsEveryStream)
{
    auto bytes = Header("GIF89a");
    bytes.push_back(0x3B);
    kxvGIF gif;
    gif.Enable = 0;
    TMemoryStream probe(bytes);
    EXPECT_FALSE(gif.IsSupport(probe));
    EXPECT_EQ(probe.Position(), 0);
    EXPECT_THROW(DecodeGif(gif, bytes), EInvalidGraphic);
}

TEST(GifDecode, HeaderAndTrailerOnlyGiveTheScreenInTheBackgroundColour)
{
    GifImage image;
    image.width = 5;
    image.height = 3;
    image.globalRgb = Rgb({0x000000, 0x102030});
    image.background = 1;
    auto bitmap = DecodeGif(EncodeGif(image));
    ASSERT_EQ(bitmap->Width(), 5);
    ASSERT_EQ(bitmap->Height(), 3);
    for (std::uint32_t p : Pixels(*bitmap)) EXPECT_EQ(p, 0x102030u);
}

TEST(GifDecode, OddSizesAndColourCountsDecodeExactly)
{
    for (int colors : {2, 4, 16, 256}) {
        for (auto [w, h] : {std::pair{1, 1}, {7, 3}, {33, 17}, {300, 2}}) {
            const GifImage image = OneFrame(w, h, colors, unsigned(colors * w + h));
            auto bitmap = DecodeGif(EncodeGif(image));
            EXPECT_EQ(Pixels(*bitmap), Expected(image)) << colors << " colours " << w << "x" << h;
        }
    }
}

TEST(GifDecode, SmallSubBlocksAndMinimumCodeSizeEightDecodeTheSame)
{
    GifImage image = OneFrame(40, 30, 4, 12);
    image.frames[0].minimumCodeSize = 8;  // 9-bit codes for a 4-colour picture
    auto bytes = EncodeGif(image);
    EXPECT_EQ(Pixels(*DecodeGif(bytes)), Expected(image));
    // Rebuilt with 1-byte sub-blocks: the code reader refills across each boundary.
    GifImage tiny = OneFrame(40, 30, 4, 12);
    auto head = GifHead(tiny);
    auto data = SubBlocks(LzwCompress(tiny.frames[0].pixels, 2), 1);
    Bytes b;
    b.data = head;
    b.u8(0x2C).u16(0).u16(0).u16(40).u16(30).u8(0).u8(2);
    b.data.insert(b.data.end(), data.begin(), data.end());
    b.u8(0x3B);
    EXPECT_EQ(Pixels(*DecodeGif(b.data)), Expected(tiny));
}

// Rows y of an interlaced 10- or 3-row frame hold index y; only the first `rows`
// stored rows are sent before the end code.
std::unique_ptr<TBitmap> PartialInterlaced(int height, int rows)
{
    GifImage image;
    image.width = 2;
    image.height = height;
    image.globalRgb = DistinctRgb(16);
    std::vector<std::uint8_t> stored;
    const std::vector<int> order = InterlacedRowOrder(height);
    for (int i = 0; i < rows; ++i) stored.insert(stored.end(), 2, std::uint8_t(order[std::size_t(i)]));
    Bytes b;
    b.data = GifHead(image);
    b.u8(0x2C).u16(0).u16(0).u16(2).u16(std::uint16_t(height)).u8(0x40).u8(4);
    auto data = SubBlocks(LzwCompress(stored, 4));
    b.data.insert(b.data.end(), data.begin(), data.end());
    b.u8(0x3B);
    kxvGIF gif;
    gif.FillBackground = false;
    return DecodeGif(gif, b.data);
}

TEST(GifDecode, InterlacedRowsComeInPassOrderWithTheirCopies)
{
    EXPECT_EQ(InterlacedRowOrder(10), (std::vector<int>{0, 8, 4, 2, 6, 1, 3, 5, 7, 9}));
    const auto rgb = DistinctRgb(16);
    // After pass 1: rows 0-7 copy row 0, rows 8 and 9 copy row 8.
    auto pass1 = PartialInterlaced(10, 2);
    for (int y = 0; y < 10; ++y) EXPECT_EQ(Px(*pass1, 1, y), RgbAt(rgb, y < 8 ? 0 : 8)) << "row " << y;
    // After pass 2 (row 4): rows 4-7 copy row 4.
    auto pass2 = PartialInterlaced(10, 3);
    for (int y = 0; y < 10; ++y) EXPECT_EQ(Px(*pass2, 0, y), RgbAt(rgb, y < 4 ? 0 : y < 8 ? 4 : 8)) << "row " << y;
    auto all = PartialInterlaced(10, 10);
    for (int y = 0; y < 10; ++y) EXPECT_EQ(Px(*all, 0, y), RgbAt(rgb, y)) << "row " << y;
}

TEST(GifDecode, ThreeRowInterlacedFrameSkipsTheEmptySecondPass)
{
    const auto rgb = DistinctRgb(16);
    EXPECT_EQ(InterlacedRowOrder(3), (std::vector<int>{0, 2, 1}));
    auto one = PartialInterlaced(3, 1);
    for (int y = 0; y < 3; ++y) EXPECT_EQ(Px(*one, 0, y), RgbAt(rgb, 0));
    auto two = PartialInterlaced(3, 2);
    EXPECT_EQ(Px(*two, 0, 1), RgbAt(rgb, 0));
    EXPECT_EQ(Px(*two, 0, 2), RgbAt(rgb, 2));
    auto three = PartialInterlaced(3, 3);
    for (int y = 0; y < 3; ++y) EXPECT_EQ(Px(*three, 0, y), RgbAt(rgb, y));
}

TEST(GifDecode, InterlacedFramesOfEverySmallHeightDecodeExactly)
{
    for (int h = 1; h <= 17; ++h) {
        GifImage image = OneFrame(3, h, 16, unsigned(h));
        image.frames[0].interlace = true;
        EXPECT_EQ(Pixels(*DecodeGif(EncodeGif(image))), Expected(image)) << "height " << h;
    }
}

TEST(GifDecode, IncompleteLastRowIsDrawnOnceWithThePreviousRowsPixelsToItsRight)
{
    GifImage image;
    image.width = 4;
    image.height = 3;
    image.globalRgb = DistinctRgb(4);
    // Row 0: 1 1 1 1, then only two pixels (2 2) of row 1 before the end code.
    Bytes b;
    b.data = GifHead(image);
    b.u8(0x2C).u16(0).u16(0).u16(4).u16(3).u8(0).u8(2);
    auto data = SubBlocks(LzwCompress({1, 1, 1, 1, 2, 2}, 2));
    b.data.insert(b.data.end(), data.begin(), data.end());
    b.u8(0x3B);
    auto bitmap = DecodeGif(b.data);
    const auto rgb = image.globalRgb;
    EXPECT_EQ(Px(*bitmap, 0, 1), RgbAt(rgb, 2));
    EXPECT_EQ(Px(*bitmap, 1, 1), RgbAt(rgb, 2));
    EXPECT_EQ(Px(*bitmap, 2, 1), RgbAt(rgb, 1));
    EXPECT_EQ(Px(*bitmap, 3, 1), RgbAt(rgb, 1));
    EXPECT_EQ(Px(*bitmap, 0, 2), RgbAt(rgb, 0)) << "row 2 keeps the background";
}

TEST(GifDecode, PixelDataBeyondTheLastRowDrawsNothing)
{
    GifImage image;
    image.width = 4;
    image.height = 4;
    image.globalRgb = DistinctRgb(4);
    GifFrame frame;
    frame.width = 4;
    frame.height = 2;
    frame.pixels = std::vector<std::uint8_t>(16, 3);  // four rows of data for a two-row frame
    image.frames.push_back(frame);
    Bytes b;
    b.data = GifHead(image);
    b.u8(0x2C).u16(0).u16(0).u16(4).u16(2).u8(0).u8(2);
    auto data = SubBlocks(LzwCompress(frame.pixels, 2));
    b.data.insert(b.data.end(), data.begin(), data.end());
    b.u8(0x3B);
    auto bitmap = DecodeGif(b.data);
    EXPECT_EQ(Px(*bitmap, 0, 1), RgbAt(image.globalRgb, 3));
    EXPECT_EQ(Px(*bitmap, 0, 2), RgbAt(image.globalRgb, 0));
    EXPECT_EQ(Px(*bitmap, 3, 3), RgbAt(image.globalRgb, 0));
}

TEST(GifDecode, FramesReachingPastTheScreenAreClipped)
{
    GifImage image;
    image.width = 6;
    image.height = 5;
    image.globalRgb = DistinctRgb(8);
    GifFrame frame;
    frame.left = 4;
    frame.top = 3;
    frame.width = 300;
    frame.height = 200;
    frame.pixels = NoisePixels(60000, 8, 4);
    frame.interlace = true;
    image.frames.push_back(frame);
    GifFrame away = frame;
    away.left = 60000;
    away.top = 60000;
    image.frames.push_back(away);
    auto bitmap = DecodeGif(EncodeGif(image));
    EXPECT_EQ(Pixels(*bitmap), Expected(image));
}

TEST(GifDecode, HugeScreenFailsCleanly)
{
    GifImage image;
    image.width = 65535;
    image.height = 65535;
    image.globalRgb = DistinctRgb(2);
    TBitmap bitmap;
    bitmap.SetSize(3, 3);
    kxvGIF gif;
    TMemoryStream stream(EncodeGif(image));
    EXPECT_THROW(gif.LoadFromStream(stream, bitmap), Exception);
    EXPECT_EQ(bitmap.Width(), 3);
}

TEST(GifDecode, KeepSizeAndOffsets)
{
    GifImage image = OneFrame(4, 4, 4, 8);
    kxvGIF gif;
    gif.OffsetX = 2;
    gif.OffsetY = 1;
    auto bitmap = DecodeGif(gif, EncodeGif(image));
    ASSERT_EQ(bitmap->Width(), 6);
    ASSERT_EQ(bitmap->Height(), 5);
    EXPECT_EQ(Px(*bitmap, 2, 1), RgbAt(image.globalRgb, image.frames[0].pixels[0]));
    EXPECT_EQ(Px(*bitmap, 5, 4), RgbAt(image.globalRgb, image.frames[0].pixels[15]));
    TBitmap kept;
    kept.SetSize(3, 2);
    kxvGIF keeping;
    keeping.KeepSize = true;
    TMemoryStream stream(EncodeGif(image));
    keeping.LoadFromStream(stream, kept);
    EXPECT_EQ(kept.Width(), 3);
    EXPECT_EQ(Px(kept, 2, 1), RgbAt(image.globalRgb, image.frames[0].pixels[6]));
}

TEST(GifDecode, ColourDepthFollowsTheTables)
{
    struct Case {
        int globalColors;
        bool local;
        int depth;
    };
    for (const Case& c : {Case{2, false, 1}, Case{4, false, 4}, Case{16, false, 4}, Case{32, false, 8},
                          Case{256, false, 8}, Case{2, true, 24}, Case{0, false, 24}}) {
        GifImage image = OneFrame(3, 3, 2, 1);
        image.globalRgb = DistinctRgb(c.globalColors);
        if (c.local) image.frames[0].localRgb = DistinctRgb(2);
        if (c.globalColors == 0) image.frames[0].minimumCodeSize = 2;
        kxvGIF gif;
        DecodeGif(gif, EncodeGif(image));
        EXPECT_EQ(gif.ColorDepth, c.depth) << c.globalColors << (c.local ? " + local" : "");
    }
}

TEST(GifDecode, PaletteComesFromTheGlobalTableNeverFromALocalOne)
{
    GifImage image = OneFrame(3, 3, 4, 1);
    image.frames[0].localRgb = Rgb({0x111111, 0x222222});
    kxvGIF gif;
    DecodeGif(gif, EncodeGif(image));
    ASSERT_NE(gif.Palette(), nullptr);
    EXPECT_EQ(gif.Palette()->palVersion, 0x300);
    EXPECT_EQ(gif.Palette()->palNumEntries, 4);
    EXPECT_EQ(gif.Palette()->palPalEntry[1], (TPaletteEntry{image.globalRgb[3], image.globalRgb[4], image.globalRgb[5], 0}));
    gif.SetPalette(nullptr);
    EXPECT_EQ(gif.Palette(), nullptr);
}

TEST(GifDecode, WithoutAGlobalTableTheBackgroundIsBlackAndFramesTakeLocalColours)
{
    kxvGIF gif;
    GifImage red;
    red.width = 2;
    red.height = 2;
    red.globalRgb = Rgb({0xFF0000});
    DecodeGif(gif, EncodeGif(red));
    EXPECT_EQ(gif.BackgroundColor, clRed);
    GifImage bare = OneFrame(2, 2, 2, 3);
    bare.globalRgb.clear();
    bare.frames[0].minimumCodeSize = 2;
    auto bitmap = DecodeGif(gif, EncodeGif(bare));
    EXPECT_EQ(gif.BackgroundColor, clBlack) << "not the previous stream's red";
    EXPECT_EQ(gif.Palette()->palNumEntries, 0);
    for (std::uint32_t p : Pixels(*bitmap)) EXPECT_EQ(p, 0u) << "no colours without a table";
    bare.frames[0].localRgb = Rgb({0x00FF00, 0x0000FF});
    auto local = DecodeGif(gif, EncodeGif(bare));
    EXPECT_EQ(Pixels(*local), Expected(bare));
}

TEST(GifDecode, BackgroundIndexPastTheTableIsBlack)
{
    GifImage image;
    image.width = 2;
    image.height = 2;
    image.globalRgb = Rgb({0xFFFFFF, 0xFFFFFF});
    image.background = 5;
    kxvGIF gif;
    auto bitmap = DecodeGif(gif, EncodeGif(image));
    EXPECT_EQ(gif.BackgroundColor, clBlack);
    EXPECT_EQ(Px(*bitmap, 0, 0), 0u);
}

TEST(GifDecode, UnknownBlocksAreMalformed)
{
    for (std::vector<std::uint8_t> tail : {std::vector<std::uint8_t>{0x00}, {0x2D}}) {
        auto bytes = Header("GIF89a");
        bytes.insert(bytes.end(), tail.begin(), tail.end());
        EXPECT_THROW(DecodeGif(bytes), EInvalidGraphic);
    }
}

TEST(GifDecode, UnknownExtensionsAreSkipped)
{
    GifImage image = OneFrame(6, 5, 4, 3);
    // Data that would read as blocks of their own if it were not skipped.
    image.frames[0].extensions.push_back({0x02, {{0x2C, 0x21, 0x3B}, std::vector<std::uint8_t>(255, 0x2C)}});
    const auto bytes = EncodeGif(image);
    EXPECT_EQ(Pixels(*DecodeGif(bytes)), Expected(image));

    // Skipping stays inside the stream: one that ends inside the extension is malformed.
    const std::vector<std::uint8_t> cut(bytes.begin(), bytes.begin() + std::ptrdiff_t(GifHead(image).size() + 100));
    EXPECT_THROW(DecodeGif(cut), EInvalidGraphic);
}

TEST(GifDecode, EveryTruncationIsMalformedAndNeverCrashes)
{
    GifImage image = OneFrame(9, 7, 16, 2);
    image.frames[0].control = true;
    image.frames[0].transparent = true;
    image.frames[0].disposal = 3;
    GifFrame second = image.frames[0];
    second.interlace = true;
    second.localRgb = DistinctRgb(4);
    second.pixels = NoisePixels(63, 4, 9);
    image.frames.push_back(second);
    const auto bytes = EncodeGif(image);
    for (std::size_t n = 0; n < bytes.size(); ++n) {
        std::vector<std::uint8_t> cut(bytes.begin(), bytes.begin() + std::ptrdiff_t(n));
        kxvGIF gif;
        TBitmap bitmap;
        TMemoryStream stream(cut);
        EXPECT_THROW(gif.LoadFromStream(stream, bitmap), EInvalidGraphic) << "cut at " << n;
    }
    EXPECT_NO_THROW(DecodeGif(bytes));
}

TEST(GifDecode, ZeroSizedFramesDrawNothing)
{
    GifImage image;
    image.width = 3;
    image.height = 3;
    image.globalRgb = DistinctRgb(4);
    GifFrame empty;
    empty.width = 0;
    empty.height = 5;
    empty.pixels = NoisePixels(10, 4, 1);
    GifFrame flat = empty;
    flat.width = 3;
    flat.height = 0;
    for (GifFrame* f : {&empty, &flat}) {
        image.frames = {*f};
        Bytes b;
        b.data = GifHead(image);
        b.u8(0x2C).u16(0).u16(0).u16(std::uint16_t(f->width)).u16(std::uint16_t(f->height)).u8(0).u8(2);
        auto data = SubBlocks(LzwCompress(f->pixels, 2));
        b.data.insert(b.data.end(), data.begin(), data.end());
        b.u8(0x3B);
        auto bitmap = DecodeGif(b.data);
        for (std::uint32_t p : Pixels(*bitmap)) EXPECT_EQ(p, RgbAt(image.globalRgb, 0));
    }
}

TEST(GifDecode, LoadsFromAFile)
{
    const std::string path = ScratchDir("gif_file") + PathSep() + "a.gif";
    const GifImage image = OneFrame(5, 4, 4, 77);
    WriteAll(path, EncodeGif(image));
    kxvGIF gif;
    EXPECT_TRUE(gif.IsSupport(path));
    TBitmap bitmap;
    gif.LoadFromFile(path, bitmap);
    EXPECT_EQ(Pixels(bitmap), Expected(image));
    EXPECT_THROW(gif.LoadFromFile(path + ".missing", bitmap), EFOpenError);
}

}  // namespace

namespace {

// Hands out at most three bytes per read, as pipes and some file systems do.
class TrickleStream final : public TMemoryStream {
public:
    using TMemoryStream::TMemoryStream;
    std::int64_t Read(void* buffer, std::int64_t count) override
    {
        return TMemoryStream::Read(buffer, std::min<std::int64_t>(count, 3));
    }
};

TEST(GifDecode, ShortReadsFromTheStreamAreNotAnEarlyEnd)
{
    GifImage image = OneFrame(20, 11, 16, 5);
    image.frames[0].interlace = true;
    TrickleStream stream(EncodeGif(image));
    kxvGIF gif;
    TBitmap bitmap;
    gif.LoadFromStream(stream, bitmap);
    EXPECT_EQ(Pixels(bitmap), Expected(image));
}

}  // namespace

namespace {

TEST(GifDecode, ZeroWidthScreenWithATransparentFrame)
{
    GifImage image;
    image.width = 0;
    image.height = 5;
    image.globalRgb = DistinctRgb(4);
    GifFrame frame;
    frame.width = 3;
    frame.height = 3;
    frame.pixels = NoisePixels(9, 4, 1);
    frame.control = true;
    frame.transparent = true;
    frame.disposal = 3;
    image.frames.push_back(frame);
    kxvGIF gif;
    auto bitmap = DecodeGif(gif, EncodeGif(image));
    EXPECT_TRUE(bitmap->Empty());
}

}  // namespace
