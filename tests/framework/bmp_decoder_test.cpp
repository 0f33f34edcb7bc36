#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "framework/bitmap.h"
#include "framework/bmp_builder.h"
#include "framework/bmp_decoder.h"
#include "framework/exceptions.h"
#include "framework/streams.h"
#include "test_support.h"

namespace {

using Pixels = std::vector<std::uint32_t>;

void Load(TBitmap& bitmap, const std::vector<std::uint8_t>& file)
{
    TMemoryStream stream(file);
    bitmap.LoadFromStream(stream);
}

Pixels PixelsOf(const TBitmap& bitmap)
{
    Pixels out;
    for (int y = 0; y < bitmap.Height(); ++y)
        for (int x = 0; x < bitmap.Width(); ++x) out.push_back(bitmap.ScanLine(y)[x] & 0xFFFFFF);
    return out;
}

Pixels Decode(const BmpLayout& layout)
{
    TBitmap bitmap;
    Load(bitmap, MakeBmp(layout));
    EXPECT_EQ(bitmap.Width(), layout.width);
    EXPECT_EQ(bitmap.Height(), layout.height < 0 ? -layout.height : layout.height);
    return PixelsOf(bitmap);
}

std::vector<TPaletteEntry> EntriesOf(const TBitmap& bitmap)
{
    std::vector<TPaletteEntry> out;
    if (const TLogPalette* p = bitmap.Palette()) {
        EXPECT_EQ(p->palVersion, 0x300);
        out.assign(p->palPalEntry.begin(), p->palPalEntry.begin() + p->palNumEntries);
    }
    return out;
}

const std::vector<std::uint32_t> kFour = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF};

}  // namespace

TEST(BmpDecoder, IndexedDepthsReadTheirPaletteAndRowsBottomUp)
{
    // 3 x 2 pictures, bottom row stored first: bottom = 1 2 3, top = 0 1 2.
    struct Case {
        unsigned bits;
        std::vector<std::uint8_t> rows;
        TPixelFormat format;
    };
    const Case cases[] = {
        {1, {0xA0, 0, 0, 0, 0x40, 0, 0, 0}, pf1bit},  // indices modulo 2: 1 0 1 / 0 1 0
        {2, {0x6C, 0, 0, 0, 0x18, 0, 0, 0}, pf4bit},
        {4, {0x12, 0x30, 0, 0, 0x01, 0x20, 0, 0}, pf4bit},
        {8, {1, 2, 3, 0, 0, 1, 2, 0}, pf8bit},
    };
    for (const Case& c : cases) {
        BmpLayout s;
        s.width = 3;
        s.height = 2;
        s.bitCount = c.bits;
        s.colors = std::vector<std::uint32_t>(kFour.begin(), kFour.begin() + std::min<std::size_t>(4, 1u << c.bits));
        s.pixels = c.rows;
        TBitmap bitmap;
        Load(bitmap, MakeBmp(s));
        SCOPED_TRACE(c.bits);
        EXPECT_EQ(bitmap.PixelFormat, c.format);
        const Pixels expected = c.bits == 1 ? Pixels{0x000000, 0xFF0000, 0x000000, 0xFF0000, 0x000000, 0xFF0000}
                                            : Pixels{0x000000, 0xFF0000, 0x00FF00, 0xFF0000, 0x00FF00, 0x0000FF};
        EXPECT_EQ(PixelsOf(bitmap), expected);
        const auto entries = EntriesOf(bitmap);
        ASSERT_EQ(entries.size(), s.colors.size());
        EXPECT_EQ(entries[1], (TPaletteEntry{0xFF, 0, 0, 0}));
        if (c.bits > 1) {
            EXPECT_EQ(entries[3], (TPaletteEntry{0, 0, 0xFF, 0}));
        }
    }
}

TEST(BmpDecoder, OS2HeadersUseTheirOwnFieldSizesAndTableEntries)
{
    BmpLayout core;
    core.headerSize = 12;
    core.width = 2;
    core.height = 1;
    core.bitCount = 4;
    core.colors = kFour;
    core.colors.resize(16, 0x808080);
    core.pixels = {0x3F, 0, 0, 0};
    TBitmap bitmap;
    Load(bitmap, MakeBmp(core));
    EXPECT_EQ(PixelsOf(bitmap), (Pixels{0x0000FF, 0x808080}));
    EXPECT_EQ(EntriesOf(bitmap).size(), 16u);

    core.bitCount = 24;
    core.colors.clear();
    core.pixels = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0, 0};
    EXPECT_EQ(Decode(core), (Pixels{0x030201, 0x060504}));

    // OS/2 2.x: 64 bytes, or cut to 16 with the rest taken as 0.
    for (std::uint32_t size : {16u, 64u}) {
        BmpLayout os2;
        os2.headerSize = size;
        os2.width = 2;
        os2.bitCount = 1;
        os2.colors = {0x112233, 0x445566};
        os2.pixels = {0x40, 0, 0, 0};
        EXPECT_EQ(Decode(os2), (Pixels{0x112233, 0x445566})) << size;
    }
}

TEST(BmpDecoder, BitFieldsAfterTheHeaderOrInsideIt)
{
    // 5-6-5: white, pure red, a mid green.
    const std::vector<std::uint8_t> rgb565 = {0xFF, 0xFF, 0x00, 0xF8, 0xE0, 0x03, 0, 0};
    const Pixels expected565 = {0xFFFFFF, 0xFF0000, 0x007D00};  // 31 of 63 is 125
    for (std::uint32_t size : {40u, 56u, 108u, 124u}) {
        BmpLayout s;
        s.headerSize = size;
        s.width = 3;
        s.bitCount = 16;
        s.compression = 3;
        s.masks = {0xF800, 0x07E0, 0x001F};
        s.pixels = rgb565;
        TBitmap bitmap;
        Load(bitmap, MakeBmp(s));
        EXPECT_EQ(PixelsOf(bitmap), expected565) << size;
        EXPECT_EQ(bitmap.PixelFormat, pf16bit);
    }

    // 32 bits with the channels in an unusual order: red low, blue high.
    BmpLayout s32;
    s32.width = 2;
    s32.bitCount = 32;
    s32.compression = 3;
    s32.masks = {0x000000FF, 0x0000FF00, 0xFF000000};
    s32.pixels = {0x11, 0x22, 0x99, 0x33, 0xFF, 0, 0, 0};
    EXPECT_EQ(Decode(s32), (Pixels{0x112233, 0xFF0000}));

    // Four masks (with alpha) behind a 40-byte header.
    s32.compression = 6;
    s32.masks = {0x000000FF, 0x0000FF00, 0xFF000000, 0x00FF0000};
    EXPECT_EQ(Decode(s32), (Pixels{0x112233, 0xFF0000}));
}

TEST(BmpDecoder, DefaultMasksAre555And888)
{
    BmpLayout s16;
    s16.width = 2;
    s16.bitCount = 16;
    s16.pixels = {0x00, 0x7C, 0x10, 0x42, 0, 0, 0, 0};  // red; a 16,16,16 grey
    TBitmap bitmap;
    Load(bitmap, MakeBmp(s16));
    EXPECT_EQ(PixelsOf(bitmap), (Pixels{0xFF0000, 0x848484}));
    EXPECT_EQ(bitmap.PixelFormat, pf15bit);

    BmpLayout s32;
    s32.headerSize = 124;  // masks present in the header but unused without bit fields
    s32.masks = {0xFF, 0xFF, 0xFF};
    s32.bitCount = 32;
    s32.pixels = {0x01, 0x02, 0x03, 0xFF};  // the fourth byte is not colour
    EXPECT_EQ(Decode(s32), (Pixels{0x030201}));
}

TEST(BmpDecoder, TopDownRowsAndLastRowWithoutPadding)
{
    BmpLayout s;
    s.width = 1;
    s.height = -2;
    s.pixels = {1, 2, 3, 0, 4, 5, 6, 0};
    EXPECT_EQ(Decode(s), (Pixels{0x030201, 0x060504}));

    s.height = 2;
    s.pixels = {1, 2, 3, 0, 4, 5, 6};
    EXPECT_EQ(Decode(s), (Pixels{0x060504, 0x030201}));
}

TEST(BmpDecoder, ColoursUsedAndThePixelOffset)
{
    BmpLayout s;
    s.width = 4;
    s.bitCount = 8;
    s.colorsUsed = 2;
    s.colors = {0x102030, 0x405060};
    s.pixels = {0, 1, 2, 255};  // indices past the table are black
    TBitmap bitmap;
    Load(bitmap, MakeBmp(s));
    EXPECT_EQ(PixelsOf(bitmap), (Pixels{0x102030, 0x405060, 0, 0}));
    EXPECT_EQ(EntriesOf(bitmap).size(), 2u);

    // An offset past a gap is honoured; an offset of 0 means "right behind the table".
    s.gap = 6;
    s.pixelOffset = 14 + 40 + 8 + 6;
    EXPECT_EQ(Decode(s), (Pixels{0x102030, 0x405060, 0, 0}));
    s.gap = 0;
    s.pixelOffset = 0;
    EXPECT_EQ(Decode(s), (Pixels{0x102030, 0x405060, 0, 0}));

    // An offset inside the table cuts the table there.
    s.colorsUsed = 0;
    s.colors = {0x102030, 0x405060, 0x708090};
    s.pixelOffset = 14 + 40 + 8;
    s.pixels = {};
    Bytes image;
    image.data = MakeBmp(s);
    image.data.resize(14 + 40 + 8);
    image.u8(0).u8(1).u8(2).u8(1);
    Load(bitmap, image.data);
    EXPECT_EQ(PixelsOf(bitmap), (Pixels{0x102030, 0x405060, 0, 0x405060}));
    EXPECT_EQ(EntriesOf(bitmap).size(), 2u);
}

TEST(BmpDecoder, Rle8RunsAbsoluteRunsDeltasAndEndCodes)
{
    BmpLayout s;
    s.width = 6;
    s.height = 3;
    s.bitCount = 8;
    s.compression = 1;
    s.colors = kFour;
    s.pixels = {
        3, 1, 0, 3, 2, 3, 1, 0,  // bottom: 1 1 1 2 3 1, absolute run of 3 padded
        0, 0,                    // end of line
        0, 2, 2, 1,              // delta: two right, one up (row 1 left black)
        2, 2,                    // top row: pixels 2 and 3 green
        0, 1,                    // end of bitmap
    };
    TBitmap bitmap;
    Load(bitmap, MakeBmp(s));
    EXPECT_EQ(bitmap.PixelFormat, pf8bit);
    const std::uint32_t R = 0xFF0000, G = 0x00FF00, B = 0x0000FF;
    EXPECT_EQ(PixelsOf(bitmap), (Pixels{0, 0, G, G, 0, 0,  //
                                        0, 0, 0, 0, 0, 0,  //
                                        R, R, R, G, B, R}));

    // The end-of-bitmap code may be left out once the last row is complete.
    s.height = 1;
    s.pixels = {6, 3};
    EXPECT_EQ(Decode(s), (Pixels(6, B)));
    s.pixels = {6, 3, 0, 0};
    EXPECT_EQ(Decode(s), (Pixels(6, B)));
}

// A batch of like files decodes into the memory two loads back; what an RLE
// picture skips is black even in memory that held another picture.
TEST(BmpDecoder, LoadsOfOneSizeReuseTheReplacedPixelMemory)
{
    BmpLayout plain;
    plain.width = 3;
    plain.height = 2;
    plain.bitCount = 24;
    plain.pixels.assign(2 * BmpRowBytes(3, 24), 0xAB);
    TBitmap bitmap;
    Load(bitmap, MakeBmp(plain));
    const PixelBuffer* first = bitmap.Buffer();
    Load(bitmap, MakeBmp(plain));
    EXPECT_NE(bitmap.Buffer(), first);  // the shown picture is not written over
    BmpLayout rle = plain;
    rle.bitCount = 8;
    rle.compression = 1;
    rle.colors = kFour;
    rle.pixels = {0, 2, 1, 1, 1, 3, 0, 1};  // a delta to the top row's middle pixel, which is blue
    Load(bitmap, MakeBmp(rle));
    EXPECT_EQ(bitmap.Buffer(), first);
    EXPECT_EQ(PixelsOf(bitmap), (Pixels{0, 0x0000FF, 0, 0, 0, 0}));

    plain.width = 4;  // another size takes new memory
    plain.pixels.assign(2 * BmpRowBytes(4, 24), 0xCD);
    Load(bitmap, MakeBmp(plain));
    EXPECT_EQ(PixelsOf(bitmap), Pixels(8, 0xCDCDCD));
}

TEST(BmpDecoder, Rle4AlternatesNibblesAndPadsAbsoluteRuns)
{
    BmpLayout s;
    s.width = 8;
    s.height = 1;
    s.bitCount = 4;
    s.compression = 2;
    s.colors = kFour;
    s.pixels = {
        3, 0x12,           // 1 2 1
        0, 5, 0x32, 0x10, 0x30, 0,  // absolute 3 2 1 0 3, three bytes padded to four
        0, 1,
    };
    TBitmap bitmap;
    Load(bitmap, MakeBmp(s));
    EXPECT_EQ(bitmap.PixelFormat, pf4bit);
    const std::uint32_t R = 0xFF0000, G = 0x00FF00, B = 0x0000FF;
    EXPECT_EQ(PixelsOf(bitmap), (Pixels{R, G, R, B, G, R, 0, B}));
}

TEST(BmpDecoder, StreamIsLeftBehindTheBitmapAndFileStreamsReadAlike)
{
    // Two files back to back in one stream load one after the other.
    BmpLayout a;
    a.pixels = {1, 2, 3, 0};
    BmpLayout b = a;
    b.pixels = {4, 5, 6, 0};
    std::vector<std::uint8_t> both = MakeBmp(a);
    const auto second = MakeBmp(b);
    both.insert(both.end(), second.begin(), second.end());
    TMemoryStream stream(both);
    TBitmap bitmap;
    bitmap.LoadFromStream(stream);
    EXPECT_EQ(PixelsOf(bitmap), (Pixels{0x030201}));
    bitmap.LoadFromStream(stream);
    EXPECT_EQ(PixelsOf(bitmap), (Pixels{0x060504}));

    // Larger than one read block, through a file stream and from memory.
    BmpLayout big;
    big.width = 301;
    big.height = 300;
    const std::size_t rowSize = (301 * 3 + 3) / 4 * 4;
    for (std::size_t i = 0; i < rowSize * 300; ++i) big.pixels.push_back(std::uint8_t(i * 7 + i / 1000));
    const auto file = MakeBmp(big);
    const std::string name = ScratchDir("bmp_decoder_big") + PathSep() + "big.bmp";
    WriteAll(name, file);
    TBitmap fromFile, fromMemory;
    fromFile.LoadFromFile(name);
    Load(fromMemory, file);
    ASSERT_EQ(fromFile.Width(), 301);
    EXPECT_EQ(PixelsOf(fromFile), PixelsOf(fromMemory));
    EXPECT_EQ(fromMemory.ScanLine(299)[1], 0x231C15u);

    // A pixel offset back inside the colour table, read from a file: the decoder
    // steps back over bytes it has already read.
    BmpLayout cut;
    cut.width = 4;
    cut.bitCount = 8;
    cut.colors = {0x102030, 0x405060, 0x708090};
    cut.pixelOffset = 14 + 40 + 8;
    Bytes image;
    image.data = MakeBmp(cut);
    image.data.resize(14 + 40 + 8);
    image.u8(0).u8(1).u8(2).u8(1);
    WriteAll(name, image.data);
    fromFile.LoadFromFile(name);
    EXPECT_EQ(PixelsOf(fromFile), (Pixels{0x102030, 0x405060, 0, 0x405060}));
}

TEST(BmpDecoder, SavedBitmapsLoadBackInEveryFormat)
{
    TBitmap source;
    source.SetSize(5, 3);
    const Pixels colors = {0x000000, 0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF};
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) source.ScanLine(y)[x] = colors[std::size_t(x + y) % colors.size()];
    auto palette = NewPalette(5);
    for (int i = 0; i < 5; ++i) {
        const std::uint32_t c = colors[std::size_t(i)];
        palette->palPalEntry[std::size_t(i)] = {std::uint8_t(c >> 16), std::uint8_t(c >> 8), std::uint8_t(c), 0};
    }
    struct Case {
        TPixelFormat saved, loaded;
    };
    for (Case c : {Case{pf4bit, pf4bit}, Case{pf8bit, pf8bit}, Case{pf15bit, pf15bit}, Case{pf16bit, pf16bit},
                   Case{pf24bit, pf24bit}, Case{pf32bit, pf32bit}, Case{pfDevice, pf24bit}}) {
        source.PixelFormat = c.saved;
        source.SetPalette(CopyLogPalette(palette.get()));
        TMemoryStream stream;
        source.SaveToStream(stream);
        stream.SetPosition(0);
        TBitmap loaded;
        loaded.LoadFromStream(stream);
        SCOPED_TRACE(c.saved);
        EXPECT_EQ(loaded.PixelFormat, c.loaded);
        EXPECT_EQ(PixelsOf(loaded), PixelsOf(source));
        if (c.loaded <= pf8bit) {
            EXPECT_EQ(EntriesOf(loaded), EntriesOf(source));
        }
    }
    // One bit: black and white only.
    TBitmap mono;
    mono.SetSize(9, 2);
    mono.ScanLine(0)[8] = 0xFFFFFF;
    mono.ScanLine(1)[0] = 0xFFFFFF;
    mono.PixelFormat = pf1bit;
    TMemoryStream stream;
    mono.SaveToStream(stream);
    stream.SetPosition(0);
    TBitmap loaded;
    loaded.LoadFromStream(stream);
    EXPECT_EQ(loaded.PixelFormat, pf1bit);
    EXPECT_EQ(PixelsOf(loaded), PixelsOf(mono));

    // Rows leave in blocks: a picture of several blocks, through a file, comes
    // back whole and in order.
    TBitmap tall;
    tall.SetSize(203, 700);
    for (int y = 0; y < 700; ++y)
        for (int x = 0; x < 203; ++x) tall.ScanLine(y)[x] = std::uint32_t(y * 0x10001 + x * 0x100) & 0xFFFFFF;
    tall.PixelFormat = pf24bit;
    const std::string name = ScratchDir("bmp_save_blocks") + PathSep() + "tall.bmp";
    tall.SaveToFile(name);
    EXPECT_EQ(ReadAll(name).size(), 54u + 612u * 700u);
    loaded.LoadFromFile(name);
    EXPECT_EQ(PixelsOf(loaded), PixelsOf(tall));
}

TEST(BmpDecoder, MalformedFilesRaiseAndKeepThePreviousPicture)
{
    BmpLayout good;
    good.width = 2;
    good.height = 2;
    good.bitCount = 8;
    good.colors = kFour;
    good.pixels = {1, 2, 0, 0, 3, 0, 0, 0};
    BmpLayout rle = good;
    rle.compression = 1;
    rle.pixels = {2, 1, 0, 0, 2, 2, 0, 1};
    ASSERT_NO_THROW(Decode(rle));

    struct Case {
        const char* what;
        std::vector<std::uint8_t> file;
    };
    std::vector<Case> cases;
    auto add = [&](const char* what, const BmpLayout& s) { cases.push_back({what, MakeBmp(s)}); };
    auto variant = [&](const BmpLayout& base, auto change) {
        BmpLayout s = base;
        change(s);
        return s;
    };

    {
        auto f = MakeBmp(good);
        f[0] = 'X';
        cases.push_back({"not BM", f});
        cases.push_back({"cut in the file header", std::vector<std::uint8_t>(f.begin(), f.begin() + 10)});
        f[0] = 'B';
        cases.push_back({"cut in the info header", std::vector<std::uint8_t>(f.begin(), f.begin() + 30)});
        cases.push_back({"cut in the colour table", std::vector<std::uint8_t>(f.begin(), f.begin() + 60)});
        cases.push_back({"cut in the pixels", std::vector<std::uint8_t>(f.begin(), f.end() - 4)});
        cases.push_back({"empty", {}});
    }
    add("header size 41", variant(good, [](BmpLayout& s) { s.headerSize = 41; }));
    add("two planes", variant(good, [](BmpLayout& s) { s.planes = 2; }));
    add("3 bits per pixel", variant(good, [](BmpLayout& s) { s.bitCount = 3; }));
    add("0 bits per pixel", variant(good, [](BmpLayout& s) { s.bitCount = 0; }));
    add("width 0", variant(good, [](BmpLayout& s) { s.width = 0; }));
    add("negative width", variant(good, [](BmpLayout& s) { s.width = -2; }));
    add("height 0", variant(good, [](BmpLayout& s) { s.height = 0; }));
    add("smallest height", variant(good, [](BmpLayout& s) { s.height = INT_MIN; }));
    add("257 colours", variant(good, [](BmpLayout& s) { s.colorsUsed = 257; }));
    add("offset past the end", variant(good, [](BmpLayout& s) { s.pixelOffset = 5000; }));
    add("rows that the data does not hold",
        variant(good, [](BmpLayout& s) { s.width = 100000, s.height = 100000; }));
    add("rows that overflow a naive product",
        variant(good, [](BmpLayout& s) { s.width = INT_MAX, s.height = INT_MAX, s.bitCount = 32; }));
    add("JPEG compression", variant(good, [](BmpLayout& s) { s.compression = 4; }));
    add("bit fields at 8 bits", variant(good, [](BmpLayout& s) { s.compression = 3, s.masks = {1, 2, 4}; }));
    add("bit fields at 24 bits", variant(good, [](BmpLayout& s) {
            s.compression = 3, s.bitCount = 24, s.colors.clear(), s.masks = {1, 2, 4};
        }));
    add("16-bit masks beyond 16 bits", variant(good, [](BmpLayout& s) {
            s.compression = 3, s.bitCount = 16, s.colors.clear(), s.masks = {0xFF0000, 0xFF00, 0xFF};
        }));
    add("OS/2 Huffman coding", variant(good, [](BmpLayout& s) {
            s.headerSize = 64, s.compression = 3, s.bitCount = 32, s.colors.clear(), s.pixels.resize(12 + 16);
        }));
    add("masks missing", variant(good, [](BmpLayout& s) {
            s.compression = 3, s.bitCount = 32, s.colors.clear(), s.pixels.resize(2);
        }));
    add("RLE8 at 4 bits", variant(rle, [](BmpLayout& s) { s.bitCount = 4; }));
    add("RLE top-down", variant(rle, [](BmpLayout& s) { s.height = -2; }));
    add("RLE run past the row", variant(rle, [](BmpLayout& s) { s.pixels = {3, 1, 0, 1}; }));
    add("RLE absolute run past the row", variant(rle, [](BmpLayout& s) { s.pixels = {1, 1, 0, 3, 1, 2, 3, 0, 0, 1}; }));
    add("RLE run past the bitmap",
        variant(rle, [](BmpLayout& s) { s.pixels = {0, 0, 0, 0, 1, 1, 0, 1}; }));
    add("RLE end of line past the bitmap", variant(rle, [](BmpLayout& s) { s.pixels = {0, 0, 0, 0, 0, 0, 0, 1}; }));
    add("RLE delta past the row", variant(rle, [](BmpLayout& s) { s.pixels = {0, 2, 3, 0, 0, 1}; }));
    add("RLE delta past the bitmap", variant(rle, [](BmpLayout& s) { s.pixels = {0, 2, 0, 3, 0, 1}; }));
    add("RLE cut before the last row", variant(rle, [](BmpLayout& s) { s.pixels = {2, 1, 0, 0, 1, 2}; }));
    add("RLE cut in an absolute run", variant(rle, [](BmpLayout& s) { s.pixels = {0, 4, 1, 2}; }));
    add("RLE cut in a delta", variant(rle, [](BmpLayout& s) { s.pixels = {0, 2, 1}; }));
    add("RLE4 run past the row", variant(rle, [](BmpLayout& s) {
            s.bitCount = 4, s.compression = 2, s.colors.resize(16), s.pixels = {3, 0x11, 0, 1};
        }));

    for (const Case& c : cases) {
        TBitmap bitmap;
        Load(bitmap, MakeBmp(good));
        EXPECT_THROW(Load(bitmap, c.file), EInvalidGraphic) << c.what;
        EXPECT_EQ(PixelsOf(bitmap), (Pixels{0x0000FF, 0x000000, 0xFF0000, 0x00FF00})) << c.what;
        EXPECT_EQ(bitmap.PixelFormat, pf8bit) << c.what;
        EXPECT_EQ(EntriesOf(bitmap).size(), 4u) << c.what;
    }
}

TEST(BmpDecoder, RlePictureBeyondTheBitmapLimitIsRefused)
{
    BmpLayout s;
    s.width = 1 << 15;
    s.height = 1 << 15;
    s.bitCount = 8;
    s.compression = 1;
    s.colors = kFour;
    s.pixels = {0, 1};
    TBitmap bitmap;
    bitmap.SetSize(1, 1);
    EXPECT_THROW(Load(bitmap, MakeBmp(s)), EOutOfResources);
    EXPECT_EQ(bitmap.Width(), 1);
}
