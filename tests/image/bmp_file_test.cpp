#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "framework/bitmap.h"
#include "framework/bmp_builder.h"
#include "framework/exceptions.h"
#include "framework/file_system.h"
#include "framework/screen.h"
#include "framework/streams.h"
#include "image/bmp_file.h"
#include "test_support.h"
#include "written_bmp.h"

namespace {

using Rows = std::vector<std::vector<std::uint32_t>>;

std::string FileIn(const std::string& dir, const std::string& name)
{
    return dir + PathSep() + name;
}

PaletteHandle PaletteOf(const std::vector<std::uint32_t>& colors)
{
    PaletteHandle palette = NewPalette(int(colors.size()));
    for (std::size_t i = 0; i < colors.size(); ++i) {
        palette->palPalEntry[i].peRed = std::uint8_t(colors[i] >> 16);
        palette->palPalEntry[i].peGreen = std::uint8_t(colors[i] >> 8);
        palette->palPalEntry[i].peBlue = std::uint8_t(colors[i]);
    }
    return palette;
}

std::uint32_t EntryOf(const TLogPalette& palette, std::size_t i)
{
    const TPaletteEntry& e = palette.palPalEntry[i];
    EXPECT_EQ(e.peFlags, 0);
    return std::uint32_t(e.peRed) << 16 | std::uint32_t(e.peGreen) << 8 | e.peBlue;
}

std::vector<std::string> FilesIn(const std::string& dir)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) names.push_back(entry.path().filename().string());
    return names;
}

}  // namespace

// ---- reading headers -------------------------------------------------------

TEST(ReadBitmapHeader, NonBitmapFilesGiveNothing)
{
    const std::string dir = ScratchDir("bmp_header_other");
    WriteAll(FileIn(dir, "a.gif"), Bytes().str("GIF89a").fill(60).data);
    WriteAll(FileIn(dir, "empty.bmp"), {});
    WriteAll(FileIn(dir, "b.bmp"), Bytes().str("B").data);
    for (const char* name : {"a.gif", "empty.bmp", "b.bmp"}) {
        const TBitmapHeaderInfo info = ReadBitmapHeader(FileIn(dir, name));
        EXPECT_EQ(info.ColorDepth, 0) << name;
        EXPECT_EQ(info.Palette, nullptr) << name;
    }
    EXPECT_THROW(ReadBitmapHeader(FileIn(dir, "missing.bmp")), EFOpenError);
}

TEST(ReadBitmapHeader, InfoHeaderWithColorsUsed)
{
    const std::string dir = ScratchDir("bmp_header_info");
    WriteAll(FileIn(dir, "a.bmp"), MakeBmp({.width = 2, .height = 2, .bitCount = 8, .colorsUsed = 3,
                                            .colors = {0x112233, 0x445566, 0x778899},
                                            .pixels = std::vector<std::uint8_t>(8)}));
    const TBitmapHeaderInfo info = ReadBitmapHeader(FileIn(dir, "a.bmp"));
    EXPECT_EQ(info.ColorDepth, 8);
    ASSERT_NE(info.Palette, nullptr);
    EXPECT_EQ(info.Palette->palVersion, 0x300);
    ASSERT_EQ(info.Palette->palNumEntries, 3);
    EXPECT_EQ(EntryOf(*info.Palette, 0), 0x112233u);
    EXPECT_EQ(EntryOf(*info.Palette, 2), 0x778899u);
}

TEST(ReadBitmapHeader, TruncatedTableReadsAsZero)
{
    const std::string dir = ScratchDir("bmp_header_short");
    // One and a half of the 16 entries, and no pixel offset to say where the
    // table ends.
    WriteAll(FileIn(dir, "a.bmp"), MakeBmp({.bitCount = 4, .colors = {0xABCDEF}, .pixels = {0x11, 0x22}, .pixelOffset = 0}));
    const TBitmapHeaderInfo info = ReadBitmapHeader(FileIn(dir, "a.bmp"));
    EXPECT_EQ(info.ColorDepth, 4);
    ASSERT_NE(info.Palette, nullptr);
    ASSERT_EQ(info.Palette->palNumEntries, 16);
    EXPECT_EQ(EntryOf(*info.Palette, 0), 0xABCDEFu);
    EXPECT_EQ(EntryOf(*info.Palette, 1), 0x002211u);
    for (std::size_t i = 2; i < 16; ++i) EXPECT_EQ(EntryOf(*info.Palette, i), 0u);
}

TEST(ReadBitmapHeader, Os2HeaderReadsThreeByteEntriesAtOffset26)
{
    const std::string dir = ScratchDir("bmp_header_os2");
    BmpLayout os2{.headerSize = 12, .width = 3, .bitCount = 4, .pixels = std::vector<std::uint8_t>(4)};
    for (std::uint32_t i = 0; i < 16; ++i) os2.colors.push_back((i * 3) << 16 | (i * 2) << 8 | i);
    WriteAll(FileIn(dir, "os2.bmp"), MakeBmp(os2));
    const TBitmapHeaderInfo info = ReadBitmapHeader(FileIn(dir, "os2.bmp"));
    EXPECT_EQ(info.ColorDepth, 4);
    ASSERT_NE(info.Palette, nullptr);
    ASSERT_EQ(info.Palette->palNumEntries, 16);
    for (std::uint32_t i = 0; i < 16; ++i) EXPECT_EQ(EntryOf(*info.Palette, i), (i * 3) << 16 | (i * 2) << 8 | i);
}

TEST(ReadBitmapHeader, DeepAndUnknownHeaders)
{
    const std::string dir = ScratchDir("bmp_header_deep");
    WriteAll(FileIn(dir, "rgb.bmp"), MakeBmp({.pixels = std::vector<std::uint8_t>(4)}));
    TBitmapHeaderInfo info = ReadBitmapHeader(FileIn(dir, "rgb.bmp"));
    EXPECT_EQ(info.ColorDepth, 24);
    EXPECT_EQ(info.Palette, nullptr);

    // Every form the decoder reads records its depth and table: V5 and the
    // shortest OS/2 2.x header (no colours-used field, so a full table).
    for (std::uint32_t header : {124u, 16u}) {
        BmpLayout layout{.headerSize = header, .bitCount = 1, .colors = {0x0A0B0C, 0x112233}, .pixels = std::vector<std::uint8_t>(4)};
        WriteAll(FileIn(dir, "new.bmp"), MakeBmp(layout));
        info = ReadBitmapHeader(FileIn(dir, "new.bmp"));
        EXPECT_EQ(info.ColorDepth, 1) << header;
        ASSERT_NE(info.Palette, nullptr) << header;
        ASSERT_EQ(info.Palette->palNumEntries, 2);
        EXPECT_EQ(EntryOf(*info.Palette, 1), 0x112233u);
    }

    std::vector<std::uint8_t> unknown = MakeBmp({.bitCount = 8, .pixels = std::vector<std::uint8_t>(4)});
    unknown[14] = 20;  // an info header size that no form has
    WriteAll(FileIn(dir, "unknown.bmp"), unknown);
    info = ReadBitmapHeader(FileIn(dir, "unknown.bmp"));
    EXPECT_EQ(info.ColorDepth, 0);
    EXPECT_EQ(info.Palette, nullptr);
}

TEST(ReadBitmapHeader, ColorCountsBeyondTheTableAreCut)
{
    const std::string dir = ScratchDir("bmp_header_many");
    BmpLayout many{.bitCount = 8, .colorsUsed = 100000};
    for (std::uint32_t i = 0; i < 300; ++i) many.colors.push_back(i * 0x010101u & 0xFFFFFF);
    WriteAll(FileIn(dir, "many.bmp"), MakeBmp(many));
    TBitmapHeaderInfo info = ReadBitmapHeader(FileIn(dir, "many.bmp"));
    EXPECT_EQ(info.ColorDepth, 8);
    ASSERT_NE(info.Palette, nullptr);
    ASSERT_EQ(info.Palette->palNumEntries, 256);
    EXPECT_EQ(EntryOf(*info.Palette, 255), 255u * 0x010101u & 0xFFFFFF);

    // More colours than a 1-bit index can reach: only the two it can.
    WriteAll(FileIn(dir, "one.bmp"), MakeBmp({.bitCount = 1, .colorsUsed = 5, .colors = {1, 2, 3, 4, 5}}));
    info = ReadBitmapHeader(FileIn(dir, "one.bmp"));
    ASSERT_NE(info.Palette, nullptr);
    ASSERT_EQ(info.Palette->palNumEntries, 2);
    EXPECT_EQ(EntryOf(*info.Palette, 1), 2u);
}

TEST(MakeDIBPalette, StaysInsideItsBlock)
{
    // A header claiming 256 colours in a block that holds two entries.
    const auto block = BmpInfoBlock({.bitCount = 8, .colorsUsed = 256, .colors = {0x102030, 0x405060}});
    PaletteHandle palette = MakeDIBPalette(block.data(), block.size());
    ASSERT_NE(palette, nullptr);
    ASSERT_EQ(palette->palNumEntries, 256);
    EXPECT_EQ(EntryOf(*palette, 1), 0x405060u);
    EXPECT_EQ(EntryOf(*palette, 2), 0u);

    EXPECT_EQ(MakeDIBPalette(block.data(), 39), nullptr);
    EXPECT_EQ(MakeDIBPalette(nullptr, 0), nullptr);
    const auto deep = BmpInfoBlock({.bitCount = 16});
    EXPECT_EQ(MakeDIBPalette(deep.data(), deep.size()), nullptr);
    // The table right behind any header form: 3-byte entries behind the core one.
    for (std::uint32_t header : {12u, 16u, 64u, 108u, 124u}) {
        const auto other = BmpInfoBlock({.headerSize = header, .bitCount = 1, .colors = {0x030201, 0x060504}});
        palette = MakeDIBPalette(other.data(), other.size());
        ASSERT_NE(palette, nullptr) << header;
        ASSERT_EQ(palette->palNumEntries, 2);
        EXPECT_EQ(EntryOf(*palette, 1), 0x060504u) << header;
        EXPECT_EQ(MakeDIBPalette(other.data(), header - 1), nullptr) << header;
    }
}

// ---- the save header -------------------------------------------------------

TEST(MakeSaveInfo, EmptyBitmapGivesMinusOne)
{
    TBitmap empty;
    TBitmapHeaderBlock block;
    block.fill(0xEE);
    EXPECT_EQ(MakeSaveInfo(block, empty, 8, nullptr), -1);
    EXPECT_EQ(block[0], 40);
    EXPECT_EQ(block[14], 0);
    EXPECT_EQ(block[40], 0);
}

TEST(MakeSaveInfo, PaletteIsCutToTheDepth)
{
    TBitmap bitmap;
    bitmap.SetSize(3, 2);
    std::vector<std::uint32_t> colors;
    for (std::uint32_t i = 0; i < 20; ++i) colors.push_back(i * 0x0A0B0C);
    const PaletteHandle palette = PaletteOf(colors);
    TBitmapHeaderBlock block;
    EXPECT_EQ(MakeSaveInfo(block, bitmap, 4, palette.get()), 16);
    EXPECT_EQ(block[14], 4);
    EXPECT_EQ(block[32], 0);  // a full table: colours used 0
    EXPECT_EQ(block[20], 2 * 4);  // image size: 2 rows of 4 bytes
    EXPECT_EQ(block[40 + 4 * 15], 15 * 0x0C);
    EXPECT_EQ(block[40 + 4 * 16], 0);
    EXPECT_EQ(MakeSaveInfo(block, bitmap, 24, palette.get()), 0);
    EXPECT_EQ(block[40], 0);
}

TEST(MakeSaveInfo, CollectsColorsBottomRowFirst)
{
    TBitmap bitmap;
    FillBitmap(bitmap, Rows{{0x0000AA, 0x0000BB}, {0x0000CC, 0x0000AA}});
    const PaletteHandle empty = NewPalette(0);
    for (const TLogPalette* palette : std::initializer_list<const TLogPalette*>{nullptr, empty.get()}) {
        TBitmapHeaderBlock block;
        ASSERT_EQ(MakeSaveInfo(block, bitmap, 8, palette), 3);
        EXPECT_EQ(block[32], 3);
        EXPECT_EQ(block[40], 0xCC);
        EXPECT_EQ(block[44], 0xAA);
        EXPECT_EQ(block[48], 0xBB);
    }
}

// ---- writing ---------------------------------------------------------------

TEST(SaveBitmapFile, TwoColoursAtDepthEightWithoutPalette)
{
    const std::string dir = ScratchDir("bmp_save_two");
    TBitmap bitmap;
    FillBitmap(bitmap, Rows{{0xFF0000, 0x00FF00, 0xFF0000}, {0x00FF00, 0x00FF00, 0xFF0000}});
    ASSERT_TRUE(SaveBitmapFile(FileIn(dir, "two.bmp"), bitmap, 8, nullptr));
    const TWrittenBmp bmp(FileIn(dir, "two.bmp"));
    EXPECT_EQ(bmp.DataOffset(), 62u);
    EXPECT_EQ(bmp.ColorsUsed(), 2u);
    EXPECT_EQ(bmp.Table(), (std::vector<std::uint32_t>{0x00FF00, 0xFF0000}));  // bottom row first
    EXPECT_EQ(bmp.FileSize(), 62u + 2 * 4);
    EXPECT_EQ(bmp.Bytes.size(), bmp.FileSize());
    EXPECT_EQ(bmp.U32(34), 8u);  // image size
    EXPECT_EQ(bmp.U16(26), 1u);  // planes
    EXPECT_EQ(bmp.Index(0, 0), 1u);
    EXPECT_EQ(bmp.Index(1, 0), 0u);
    EXPECT_EQ(bmp.Row(1)[3], 0);  // padding
}

TEST(SaveBitmapFile, ThreeHundredColoursMapToThePalettesNearestOrWithoutOneKeepTheirOwn)
{
    const std::string dir = ScratchDir("bmp_save_300");
    // 300 greys-and-reds in one column, listed top row first: the bottom 256 rows
    // make the table, the top 44 are mapped.
    Rows rows;
    for (int i = 0; i < 300; ++i) {
        const std::uint32_t v = std::uint32_t(299 - i);
        rows.push_back({v < 256 ? v * 0x010101u : 0xFF0000u | (v - 256) * 4});
    }
    TBitmap bitmap;
    FillBitmap(bitmap, rows);
    // Without a palette no table holds them all: the file keeps every colour.
    ASSERT_TRUE(SaveBitmapFile(FileIn(dir, "own.bmp"), bitmap, 8, nullptr));
    const TWrittenBmp own(FileIn(dir, "own.bmp"));
    EXPECT_EQ(own.Depth(), 24);
    for (int y = 0; y < 300; ++y) ASSERT_EQ(own.Color(0, y), rows[std::size_t(y)][0]);

    std::vector<std::uint32_t> greys;
    for (std::uint32_t i = 0; i < 256; ++i) greys.push_back(i * 0x010101u);
    ASSERT_TRUE(SaveBitmapFile(FileIn(dir, "many.bmp"), bitmap, 8, PaletteOf(greys).get()));
    const TWrittenBmp bmp(FileIn(dir, "many.bmp"));
    EXPECT_EQ(bmp.ColorsUsed(), 0u);
    const std::vector<std::uint32_t> table = bmp.Table();
    ASSERT_EQ(table.size(), 256u);
    for (std::uint32_t i = 0; i < 256; ++i) ASSERT_EQ(table[i], i * 0x010101u);
    for (int y = 44; y < 300; ++y) EXPECT_EQ(bmp.Color(0, y), rows[std::size_t(y)][0]);
    // Red 0xFF with a little blue: the nearest grey by squared distance.
    for (int y = 0; y < 44; ++y) {
        const std::uint32_t c = rows[std::size_t(y)][0];
        int best = 0;
        long bestDistance = -1;
        for (int g = 0; g < 256; ++g) {
            const long db = long(c & 0xFF) - g, dg = long((c >> 8) & 0xFF) - g, dr = long(c >> 16) - g;
            const long d = db * db + dg * dg + dr * dr;
            if (bestDistance < 0 || d < bestDistance) bestDistance = d, best = g;
        }
        EXPECT_EQ(bmp.Index(0, y), std::uint32_t(best)) << "row " << y;
    }
}

TEST(SaveBitmapFile, ExactMatchesFirstAndTiesGoToTheLowestIndex)
{
    const std::string dir = ScratchDir("bmp_save_tie");
    std::vector<std::uint32_t> colors(16, 0xFFFFFF);
    colors[3] = 0x00000A;
    colors[7] = 0x00001E;
    colors[9] = 0x404040;
    colors[12] = 0x404040;  // a duplicate: the first one is taken
    const PaletteHandle palette = PaletteOf(colors);
    TBitmap bitmap;
    FillBitmap(bitmap, Rows{{0x000014, 0x404040, 0xFFFFFF, 0x00001E, 0x000014}});
    ASSERT_TRUE(SaveBitmapFile(FileIn(dir, "tie.bmp"), bitmap, 4, palette.get()));
    const TWrittenBmp bmp(FileIn(dir, "tie.bmp"));
    EXPECT_EQ(bmp.Table(), colors);
    EXPECT_EQ(bmp.ColorsUsed(), 0u);
    EXPECT_EQ(bmp.Index(0, 0), 3u);
    EXPECT_EQ(bmp.Index(1, 0), 9u);
    EXPECT_EQ(bmp.Index(2, 0), 0u);
    EXPECT_EQ(bmp.Index(3, 0), 7u);
    EXPECT_EQ(bmp.Index(4, 0), 3u);
    EXPECT_EQ(bmp.Row(0)[0], 0x39);  // even pixels in the high four bits
}

TEST(SaveBitmapFile, RememberedLookupsGiveTheRulesIndexForEveryPixel)
{
    // Many more distinct colours than the lookup remembers, with repeats and
    // runs, against a 256-colour table with duplicates: every index must be the
    // first exact match, else the nearest with ties to the lowest index. Every
    // third row holds table colours only, as the crop of a paletted source does.
    const std::string dir = ScratchDir("bmp_save_lookup");
    std::uint32_t seed = 12345;
    const auto next = [&seed] { return seed = seed * 1103515245u + 12345u; };
    std::vector<std::uint32_t> colors(256);
    for (auto& c : colors) c = (next() >> 8) & 0xE0E0E0;  // coarse, so that ties and duplicates occur
    Rows rows(96, std::vector<std::uint32_t>(128));
    for (std::size_t y = 0; y < rows.size(); ++y)
        for (std::size_t x = 0; x < rows[y].size(); ++x)
            rows[y][x] = x % 5 == 0 && x > 0 ? rows[y][x - 1]
                         : x % 7 == 3 || y % 3 == 0 ? colors[next() >> 24]
                                                    : (next() >> 8) & 0xFFFFFF;
    const PaletteHandle palette = PaletteOf(colors);
    TBitmap bitmap;
    FillBitmap(bitmap, rows);
    ASSERT_TRUE(SaveBitmapFile(FileIn(dir, "lookup.bmp"), bitmap, 8, palette.get()));
    const TWrittenBmp bmp(FileIn(dir, "lookup.bmp"));
    for (int y = 0; y < 96; ++y)
        for (int x = 0; x < 128; ++x) {
            const std::uint32_t c = rows[std::size_t(y)][std::size_t(x)];
            std::size_t expected = 0;
            long best = -1;
            for (std::size_t i = 0; i < colors.size(); ++i) {
                const long db = long(c & 0xFF) - long(colors[i] & 0xFF);
                const long dg = long((c >> 8) & 0xFF) - long((colors[i] >> 8) & 0xFF);
                const long dr = long(c >> 16) - long(colors[i] >> 16);
                const long d = db * db + dg * dg + dr * dr;
                if (best < 0 || d < best) best = d, expected = i;
            }
            ASSERT_EQ(bmp.Index(x, y), expected) << x << "," << y;
        }
}

TEST(SaveBitmapFile, DepthOneWidthNine)
{
    const std::string dir = ScratchDir("bmp_save_one");
    Rows rows(2, std::vector<std::uint32_t>(9, 0));
    rows[0][8] = 0xFFFFFF;
    rows[1][0] = 0xFFFFFF;
    rows[1][8] = 0xFFFFFF;
    const PaletteHandle palette = PaletteOf({0x000000, 0xFFFFFF});
    TBitmap bitmap;
    FillBitmap(bitmap, rows);
    ASSERT_TRUE(SaveBitmapFile(FileIn(dir, "one.bmp"), bitmap, 1, palette.get()));
    const TWrittenBmp bmp(FileIn(dir, "one.bmp"));
    EXPECT_EQ(bmp.RowSize(), 4u);
    EXPECT_EQ(bmp.ColorsUsed(), 0u);
    EXPECT_EQ(bmp.Bytes.size(), 62u + 2 * 4);
    const std::uint8_t* top = bmp.Row(0);
    EXPECT_EQ(top[0], 0x00);
    EXPECT_EQ(top[1], 0x80);
    const std::uint8_t* bottom = bmp.Row(1);
    EXPECT_EQ(bottom[0], 0x80);
    EXPECT_EQ(bottom[1], 0x80);
    EXPECT_EQ(bottom[2], 0);
    EXPECT_EQ(bottom[3], 0);
}

TEST(SaveBitmapFile, DepthTwentyFourWidthThreeAndDepthThirtyTwo)
{
    const std::string dir = ScratchDir("bmp_save_rgb");
    TBitmap bitmap;
    FillBitmap(bitmap, Rows{{0xFF112233, 0x00445566, 0x7F778899}});
    ASSERT_TRUE(SaveBitmapFile(FileIn(dir, "24.bmp"), bitmap, 24, nullptr));
    TWrittenBmp bmp(FileIn(dir, "24.bmp"));
    EXPECT_EQ(bmp.DataOffset(), 54u);
    EXPECT_EQ(bmp.ColorsUsed(), 0u);
    EXPECT_EQ(bmp.Bytes.size(), 54u + 12);
    EXPECT_EQ(std::vector<std::uint8_t>(bmp.Row(0), bmp.Row(0) + 12),
              (std::vector<std::uint8_t>{0x33, 0x22, 0x11, 0x66, 0x55, 0x44, 0x99, 0x88, 0x77, 0, 0, 0}));

    ASSERT_TRUE(SaveBitmapFile(FileIn(dir, "32.bmp"), bitmap, 32, nullptr));
    bmp = TWrittenBmp(FileIn(dir, "32.bmp"));
    EXPECT_EQ(bmp.U32(34), 12u);
    EXPECT_EQ(std::vector<std::uint8_t>(bmp.Row(0), bmp.Row(0) + 12),
              (std::vector<std::uint8_t>{0x33, 0x22, 0x11, 0, 0x66, 0x55, 0x44, 0, 0x99, 0x88, 0x77, 0}));
}

TEST(SaveBitmapFile, LargePicturesAreWrittenWhole)
{
    // Pictures beyond the writer's buffer: many rows to a buffer with a part
    // left over at the end, and rows wider than the buffer.
    const std::string dir = ScratchDir("bmp_save_large");
    for (const auto& [width, height] : {std::pair{301, 100}, std::pair{30001, 3}}) {
        Rows rows(std::size_t(height), std::vector<std::uint32_t>(std::size_t(width), 0));
        for (std::size_t y = 0; y < rows.size(); ++y)
            for (std::size_t x = 0; x < rows[y].size(); ++x) rows[y][x] = std::uint32_t(x * 0x10307 + y * 0x70301) & 0xFFFFFF;
        TBitmap bitmap;
        FillBitmap(bitmap, rows);
        const std::string name = FileIn(dir, std::to_string(width) + ".bmp");
        ASSERT_TRUE(SaveBitmapFile(name, bitmap, 24, nullptr));
        const TWrittenBmp bmp(name);
        ASSERT_EQ(bmp.Bytes.size(), 54 + bmp.RowSize() * std::size_t(height));
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) ASSERT_EQ(bmp.Color(x, y), rows[std::size_t(y)][std::size_t(x)]) << x << "," << y;
    }
}

TEST(SaveBitmapFile, SixteenBitsAsFiveFiveFive)
{
    const std::string dir = ScratchDir("bmp_save_16");
    TBitmap bitmap;
    FillBitmap(bitmap, Rows{{0xFF0000, 0x0000FF, 0x08F810}});
    ASSERT_TRUE(SaveBitmapFile(FileIn(dir, "16.bmp"), bitmap, 16, nullptr));
    const TWrittenBmp bmp(FileIn(dir, "16.bmp"));
    EXPECT_EQ(bmp.Depth(), 16);
    EXPECT_EQ(bmp.RowSize(), 8u);
    const std::uint8_t* row = bmp.Row(0);
    EXPECT_EQ(row[0] | row[1] << 8, 0x7C00);
    EXPECT_EQ(row[2] | row[3] << 8, 0x001F);
    EXPECT_EQ(row[4] | row[5] << 8, (1 << 10) | (31 << 5) | 2);
}

TEST(SaveBitmapFile, SixteenBitSourcesComeBackUnchanged)
{
    // A 5-6-5 source with its masks and a plain 5-5-5 one, loaded and written at
    // depth 16 and in the bitmap's own format: every pixel word comes back,
    // green's sixth bit included.
    const std::string dir = ScratchDir("bmp_save_16_exact");
    std::vector<std::uint8_t> words;
    for (std::uint32_t i = 0; i < 16 * 16; ++i) {
        const std::uint32_t word = (i * 2654435761u) >> 16;
        words.insert(words.end(), {std::uint8_t(word), std::uint8_t(word >> 8)});
    }
    struct Case {
        TPixelFormat format;
        std::uint32_t compression;
        std::vector<std::uint32_t> masks;
    };
    for (const Case& c : {Case{pf16bit, 3, {0xF800, 0x07E0, 0x001F}}, Case{pf15bit, 0, {}}}) {
        BmpLayout source{.width = 16, .height = 16, .bitCount = 16, .compression = c.compression, .masks = c.masks,
                         .pixels = words};
        if (c.format == pf15bit)
            for (std::size_t i = 1; i < source.pixels.size(); i += 2) source.pixels[i] &= 0x7F;  // the unused top bit
        WriteAll(FileIn(dir, "source.bmp"), MakeBmp(source));
        TBitmap bitmap;
        bitmap.LoadFromFile(FileIn(dir, "source.bmp"));
        ASSERT_EQ(bitmap.PixelFormat, c.format);
        for (int depth : {16, 0}) {
            SCOPED_TRACE(testing::Message() << c.format << " at depth " << depth);
            ASSERT_TRUE(SaveBitmapFile(FileIn(dir, "out.bmp"), bitmap, depth, nullptr));
            const TWrittenBmp out(FileIn(dir, "out.bmp"));
            EXPECT_EQ(out.U32(30), c.compression);
            ASSERT_EQ(out.DataOffset(), 54 + 4 * c.masks.size());
            for (std::size_t i = 0; i < c.masks.size(); ++i) EXPECT_EQ(out.U32(54 + 4 * i), c.masks[i]);
            EXPECT_EQ(out.FileSize(), out.Bytes.size());
            EXPECT_EQ(std::vector<std::uint8_t>(out.Bytes.begin() + out.DataOffset(), out.Bytes.end()), source.pixels);
        }
    }
}

// A part of a bitmap is written as the same part copied out would be: colours
// collected from its own rows only, its 16-bit packing, its rows' stride.
TEST(SaveBitmapFile, APartInViewIsWrittenAsItsCopyWouldBe)
{
    const std::string dir = ScratchDir("bmp_save_view");
    TBitmap whole;
    whole.SetSize(7, 5);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x) whole.ScanLine(y)[x] = std::uint32_t(x < 2 ? 0xFFFFFF : (x * 40) << 16 | y * 50);
    whole.PixelFormat = pf16bit;
    const TRect part{2, 1, 6, 4};
    TBitmap copy;
    copy.SetSize(4, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) copy.ScanLine(y)[x] = whole.ScanLine(y + 1)[x + 2];
    copy.PixelFormat = pf16bit;
    for (int depth : {4, 8, 16, 24, 32}) {
        SCOPED_TRACE(depth);
        ASSERT_TRUE(SaveBitmapFile(FileIn(dir, "view.bmp"), whole.View(part), depth, nullptr));
        ASSERT_TRUE(SaveBitmapFile(FileIn(dir, "copy.bmp"), copy, depth, nullptr));
        EXPECT_EQ(ReadAll(FileIn(dir, "view.bmp")), ReadAll(FileIn(dir, "copy.bmp")));
    }
    EXPECT_FALSE(SaveBitmapFile(FileIn(dir, "none.bmp"), whole.View(TRect{7, 0, 9, 2}), 24, nullptr));
    EXPECT_FALSE(FileExists(FileIn(dir, "none.bmp")));
}

class RoundTrip : public ::testing::TestWithParam<int> {};

// Every depth, with and without a palette: the written file is read back by its
// header (depth and table) and by its pixels.
TEST_P(RoundTrip, ColoursAndTableComeBack)
{
    const int depth = GetParam();
    const std::string dir = ScratchDir("bmp_round_trip_" + std::to_string(depth));
    const int colorCount = depth <= 8 ? std::min(1 << depth, 200) : 5000;
    Rows rows(23, std::vector<std::uint32_t>(37));
    for (std::size_t y = 0; y < rows.size(); ++y)
        for (std::size_t x = 0; x < rows[y].size(); ++x)
            rows[y][x] = std::uint32_t((x * 7 + y * 13) % std::size_t(colorCount)) * 0x050301u & 0xFFFFFF;
    TBitmap bitmap;
    FillBitmap(bitmap, rows);

    ASSERT_TRUE(SaveBitmapFile(FileIn(dir, "plain.bmp"), bitmap, depth, nullptr));
    const TWrittenBmp plain(FileIn(dir, "plain.bmp"));
    EXPECT_EQ(plain.Depth(), depth);
    EXPECT_EQ(plain.Bytes.size(), plain.FileSize());
    for (int y = 0; y < 23; ++y)
        for (int x = 0; x < 37; ++x) ASSERT_EQ(plain.Color(x, y), rows[std::size_t(y)][std::size_t(x)]) << x << "," << y;
    TBitmapHeaderInfo header = ReadBitmapHeader(FileIn(dir, "plain.bmp"));
    EXPECT_EQ(header.ColorDepth, depth);
    EXPECT_EQ(header.Palette != nullptr, depth <= 8);

    if (depth > 8) return;
    // Written again with the palette read back, in reverse order: every index follows it.
    std::vector<std::uint32_t> reversed = plain.Table();
    std::reverse(reversed.begin(), reversed.end());
    const PaletteHandle palette = PaletteOf(reversed);
    ASSERT_TRUE(SaveBitmapFile(FileIn(dir, "palette.bmp"), bitmap, depth, palette.get()));
    const TWrittenBmp withPalette(FileIn(dir, "palette.bmp"));
    EXPECT_EQ(withPalette.Table(), reversed);
    header = ReadBitmapHeader(FileIn(dir, "palette.bmp"));
    ASSERT_NE(header.Palette, nullptr);
    ASSERT_EQ(header.Palette->palNumEntries, reversed.size());
    for (std::size_t i = 0; i < reversed.size(); ++i) EXPECT_EQ(EntryOf(*header.Palette, i), reversed[i]);
    for (int y = 0; y < 23; ++y)
        for (int x = 0; x < 37; ++x) {
            ASSERT_EQ(withPalette.Color(x, y), rows[std::size_t(y)][std::size_t(x)]);
            ASSERT_EQ(withPalette.Index(x, y), reversed.size() - 1 - plain.Index(x, y));
        }
}

INSTANTIATE_TEST_SUITE_P(Depths, RoundTrip, ::testing::Values(1, 2, 4, 8, 24, 32));

TEST(SaveBitmapFile, DepthZeroIsTheBitmapsOwnFormat)
{
    const std::string dir = ScratchDir("bmp_save_own");
    TBitmap bitmap;
    FillBitmap(bitmap, Rows{{0x000000, 0xFFFFFF, 0x808080}});
    bitmap.PixelFormat = pf4bit;
    bitmap.SetPalette(PaletteOf({0x000000, 0x808080, 0xFFFFFF}));
    const PaletteHandle other = PaletteOf({0xFF0000});
    ASSERT_TRUE(SaveBitmapFile(FileIn(dir, "own.bmp"), bitmap, 0, other.get()));
    TMemoryStream expected;
    bitmap.SaveToStream(expected);
    EXPECT_EQ(ReadAll(FileIn(dir, "own.bmp")), expected.Bytes());
    EXPECT_EQ(TWrittenBmp(FileIn(dir, "own.bmp")).Depth(), 4);

    // Without a palette its own colours make the table, not the default greys.
    bitmap.SetPalette(nullptr);
    ASSERT_TRUE(SaveBitmapFile(FileIn(dir, "bare.bmp"), bitmap, 0, nullptr));
    const TWrittenBmp bare(FileIn(dir, "bare.bmp"));
    EXPECT_EQ(bare.Depth(), 4);
    EXPECT_EQ(bare.Table(), (std::vector<std::uint32_t>{0x000000, 0xFFFFFF, 0x808080}));
}

TEST(SaveBitmapFile, RefusesWhatItCannotWriteWithoutCreatingAFile)
{
    const std::string dir = ScratchDir("bmp_save_refused");
    TBitmap empty;
    EXPECT_FALSE(SaveBitmapFile(FileIn(dir, "empty.bmp"), empty, 24, nullptr));
    EXPECT_FALSE(SaveBitmapFile(FileIn(dir, "empty.bmp"), empty, 0, nullptr));
    TBitmap bitmap;
    bitmap.SetSize(2, 2);
    EXPECT_FALSE(SaveBitmapFile(FileIn(dir, "odd.bmp"), bitmap, 7, nullptr));
    EXPECT_FALSE(SaveBitmapFile(FileIn(dir, "negative.bmp"), bitmap, -8, nullptr));
    EXPECT_FALSE(SaveBitmapFile(dir + PathSep() + "missing" + PathSep() + "a.bmp", bitmap, 24, nullptr));
    EXPECT_FALSE(SaveBitmapFile(dir + PathSep() + "missing" + PathSep() + "a.bmp", bitmap, 0, nullptr));
    EXPECT_TRUE(FilesIn(dir).empty());
}

TEST(SaveBitmapFile, ReplacesAGoodFileOnlyWithACompleteOne)
{
    const std::string dir = ScratchDir("bmp_save_replace");
    const std::string target = FileIn(dir, "out.bmp");
    WriteAll(target, {1, 2, 3});
    TBitmap bitmap;
    FillBitmap(bitmap, Rows{{0x123456}});
    ASSERT_TRUE(SaveBitmapFile(target, bitmap, 24, nullptr));
    EXPECT_EQ(TWrittenBmp(target).Color(0, 0), 0x123456u);
    EXPECT_EQ(FilesIn(dir), std::vector<std::string>{"out.bmp"});

    // A directory in the target's place cannot be replaced.
    const std::string blocked = FileIn(dir, "blocked.bmp");
    ASSERT_TRUE(CreateDir(blocked));
    WriteAll(FileIn(blocked, "inside"), {9});
    EXPECT_FALSE(SaveBitmapFile(blocked, bitmap, 24, nullptr));
    EXPECT_FALSE(SaveBitmapFile(blocked, bitmap, 0, nullptr));
    EXPECT_EQ(PathKind(blocked), TPathKind::Directory);
    EXPECT_EQ(ReadAll(FileIn(blocked, "inside")), std::vector<std::uint8_t>{9});
    EXPECT_EQ(FilesIn(dir).size(), 2u);
}

TEST(SaveBitmapFile, ReadOnlyTargetSurvives)
{
    const std::string dir = ScratchDir("bmp_save_readonly");
    const std::string target = FileIn(dir, "kept.bmp");
    WriteAll(target, {1, 2, 3});
    std::filesystem::permissions(target, std::filesystem::perms::owner_read | std::filesystem::perms::group_read |
                                             std::filesystem::perms::others_read);
    bool writable = false;
    try {
        TFileStream probe(target, fmOpenReadWrite);
        writable = true;
    } catch (const EFOpenError&) {
    }
    if (!writable) {
        TBitmap bitmap;
        bitmap.SetSize(4, 4);
        EXPECT_FALSE(SaveBitmapFile(target, bitmap, 8, nullptr));
        EXPECT_EQ(ReadAll(target), (std::vector<std::uint8_t>{1, 2, 3}));
        EXPECT_EQ(FilesIn(dir).size(), 1u);
    }
    std::filesystem::permissions(target, std::filesystem::perms::owner_all);
    if (writable) GTEST_SKIP() << "read-only files are writable for this user";
}

TEST(SaveBitmapFile, ShowsTheHourglassWhileWriting)
{
    const std::string dir = ScratchDir("bmp_save_cursor");
    std::vector<TCursor> shown;
    Screen().SetCursor(crDefault);
    Screen().OnCursorChange = [&](TCursor c) { shown.push_back(c); };
    TBitmap bitmap;
    bitmap.SetSize(1, 1);
    EXPECT_TRUE(SaveBitmapFile(FileIn(dir, "a.bmp"), bitmap, 24, nullptr));
    Screen().OnCursorChange = nullptr;
    EXPECT_EQ(shown, (std::vector<TCursor>{crHourGlass, crDefault}));
}

#ifdef _WIN32
TEST(SaveBitmapFile, TargetHeldOpenByAnotherReaderSurvives)
{
    const std::string dir = ScratchDir("bmp_save_in_use");
    const std::string target = FileIn(dir, "busy.bmp");
    WriteAll(target, {1, 2, 3});
    TBitmap bitmap;
    bitmap.SetSize(4, 4);
    {
        TFileStream reader(target, fmOpenRead | fmShareDenyWrite);
        EXPECT_FALSE(SaveBitmapFile(target, bitmap, 24, nullptr));
        EXPECT_FALSE(SaveBitmapFile(target, bitmap, 0, nullptr));
    }
    EXPECT_EQ(ReadAll(target), (std::vector<std::uint8_t>{1, 2, 3}));
    EXPECT_EQ(FilesIn(dir).size(), 1u);
    EXPECT_TRUE(SaveBitmapFile(target, bitmap, 24, nullptr));
    EXPECT_EQ(TWrittenBmp(target).Width(), 4);
}
#endif
