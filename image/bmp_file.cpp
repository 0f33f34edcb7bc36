#include "image/bmp_file.h"

#include <algorithm>
#include <limits>
#include <vector>

#include "framework/bitmap.h"
#include "framework/bmp_decoder.h"
#include "framework/bmp_writer.h"
#include "framework/streams.h"
#include "image/kx_wait_cursor.h"
#include "image/replacing_file_write.h"

namespace {

constexpr std::uint16_t BitmapFileType = 0x4D42;  // "BM"
constexpr std::size_t FileHeaderSize = 14;
constexpr std::uint32_t InfoHeaderSize = 40;     // BITMAPINFOHEADER
constexpr std::uint32_t CoreHeaderSize = 12;     // BITMAPCOREHEADER, the OS/2 form
constexpr std::uint32_t MaxInfoHeaderSize = 124;  // BITMAPV5HEADER
constexpr int MaxColors = 256;

// Little-endian fields of a block; bytes beyond its end read as 0.
class TBlockReader {
public:
    TBlockReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    std::uint8_t U8(std::size_t offset) const { return offset < size_ ? data_[offset] : 0; }
    std::uint16_t U16(std::size_t offset) const { return std::uint16_t(U8(offset) | U8(offset + 1) << 8); }
    std::uint32_t U32(std::size_t offset) const { return U16(offset) | std::uint32_t(U16(offset + 2)) << 16; }

private:
    const std::uint8_t* data_;
    std::size_t size_;
};

void Put32(std::uint8_t* at, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i) at[i] = std::uint8_t(value >> (8 * i));
}

// Reads until `count` bytes are in or the stream ends; what is missing stays as it was.
void ReadUpTo(TStream& stream, std::uint8_t* buffer, std::size_t count)
{
    std::size_t done = 0;
    while (done < count) {
        const std::int64_t n = stream.Read(buffer + done, std::int64_t(count - done));
        if (n <= 0) break;
        done += std::size_t(n);
    }
}

// Entries in the colour table of an indexed header: the colours-used field, or
// 2 to the power of the bit count when it is 0. A table holds no more colours
// than the bit count can index, and never more than 256: the entries a header
// claims beyond that are not read.
int ColorTableCount(unsigned bitCount, std::uint32_t colorsUsed)
{
    const std::uint32_t indexable = 1u << bitCount;  // bitCount <= 8
    const std::uint32_t n = colorsUsed != 0 ? colorsUsed : indexable;
    return int(std::min({n, indexable, std::uint32_t(MaxColors)}));
}

// The colour table behind an info header of any form the decoder reads: right
// behind the header (an indexed bitmap has no masks), 3-byte entries behind the
// OS/2 core header, and no colours-used field there or in the shortest OS/2 2.x
// header, which then have a full table. No table above 8 bits.
struct TColorTableLayout {
    unsigned BitCount = 0;
    int Count = 0;
    std::size_t EntrySize = 4;
};

TColorTableLayout ColorTableLayout(const TBlockReader& header)
{
    const std::uint32_t headerSize = header.U32(0);
    const bool core = headerSize == CoreHeaderSize;
    TColorTableLayout table;
    table.BitCount = header.U16(core ? 10 : 14);
    table.EntrySize = core ? 3 : 4;
    if (table.BitCount <= 8) table.Count = ColorTableCount(table.BitCount, headerSize >= 36 ? header.U32(32) : 0);
    return table;
}

PaletteHandle TablePalette(const TBlockReader& block, std::size_t tableOffset, const TColorTableLayout& table)
{
    PaletteHandle palette = NewPalette(table.Count);
    for (int i = 0; i < table.Count; ++i) {
        const std::size_t entry = tableOffset + std::size_t(i) * table.EntrySize;
        TPaletteEntry& target = palette->palPalEntry[std::size_t(i)];
        target.peBlue = block.U8(entry);
        target.peGreen = block.U8(entry + 1);
        target.peRed = block.U8(entry + 2);
    }
    return palette;
}

bool IsIndexedDepth(int depth)
{
    return depth == 1 || depth == 2 || depth == 4 || depth == 8;
}

bool IsWritableDepth(int depth)
{
    return IsIndexedDepth(depth) || depth == 16 || depth == 24 || depth == 32;
}

// Colour of a pixel, as blue | green << 8 | red << 16 like a 4-byte colour entry.
std::uint32_t PixelColor(std::uint32_t pixel)
{
    return pixel & 0xFFFFFF;
}

// The set of colours met so far while collecting a colour table: open
// addressing over twice the largest table.
class TColorSet {
public:
    // True when the colour was not in the set yet.
    bool Insert(std::uint32_t color)
    {
        std::size_t slot = Hash(color);
        while (slots_[slot] != Unused) {
            if (slots_[slot] == color) return false;
            slot = (slot + 1) % slots_.size();
        }
        slots_[slot] = color;
        return true;
    }

private:
    static constexpr std::uint32_t Unused = 0xFFFFFFFF;  // no colour has its top byte set
    static std::size_t Hash(std::uint32_t color) { return (color * 2654435761u) >> 23; }
    std::array<std::uint32_t, 2 * MaxColors> slots_ = MakeUnused();
    static std::array<std::uint32_t, 2 * MaxColors> MakeUnused()
    {
        std::array<std::uint32_t, 2 * MaxColors> slots;
        slots.fill(Unused);
        return slots;
    }
};

// What a bitmap is written with at `depth`: for indexed depths the palette's
// colours cut to what the depth can index, or without a palette the colours in
// the order of their first appearance, bottom row first. A full table says
// "colours used 0". Pixels of more colours than the depth indexes, and no palette
// to say which, are written at 24 bits: a table of guessed colours would change
// them. Depth 16 keeps the source's bit fields where the bitmap records them.
TBmpWriteFormat SaveFormat(const TPixelView& pixels, int depth, const TLogPalette* palette)
{
    TBmpWriteFormat format;
    format.Depth = depth;
    format.Masks = SixteenBitMasks(pixels);
    if (depth < 1 || depth > 8) return format;
    const std::size_t limit = std::size_t(1) << depth;
    // An empty palette counts as none: a table of no entries would be written
    // with colours used 0, which readers take for a full table.
    if (palette && palette->palNumEntries > 0) {
        format.Colors = BmpTableColors(*palette, limit);
    } else {
        TColorSet seen;
        std::uint32_t previous = 0xFFFFFFFF;  // no colour
        for (int y = pixels.Height - 1; y >= 0; --y) {
            const std::uint32_t* row = pixels.Row(y);
            for (int x = 0; x < pixels.Width; ++x) {
                const std::uint32_t color = PixelColor(row[x]);
                if (color == previous) continue;
                previous = color;
                if (!seen.Insert(color)) continue;
                if (format.Colors.size() == limit) {
                    TBmpWriteFormat direct;
                    direct.Depth = 24;
                    return direct;
                }
                format.Colors.push_back(color);
            }
        }
    }
    format.ColorsUsed = format.Colors.size() < limit ? std::uint32_t(format.Colors.size()) : 0;
    return format;
}

bool IsIndexedFormat(TPixelFormat format)
{
    return format == pf1bit || format == pf4bit || format == pf8bit;
}

}  // namespace

TBitmapHeaderInfo ReadBitmapHeader(const std::string& fileName)
{
    TFileStream file(fileName, fmOpenRead | fmShareDenyWrite);
    return ReadBitmapHeader(file);
}

TBitmapHeaderInfo ReadBitmapHeader(TStream& file)
{
    TBitmapHeaderInfo info;
    std::array<std::uint8_t, MaxInfoHeaderSize + MaxColors * 4> block{};
    std::uint8_t fileHeader[FileHeaderSize] = {};
    ReadUpTo(file, fileHeader, sizeof fileHeader);
    ReadUpTo(file, block.data(), 4);
    const TBlockReader fileFields(fileHeader, sizeof fileHeader);
    if (fileFields.U16(0) != BitmapFileType) return info;
    const std::uint32_t headerSize = TBlockReader(block.data(), 4).U32(0);
    if (!IsBmpInfoHeaderSize(headerSize)) return info;
    ReadUpTo(file, block.data() + 4, headerSize - 4);
    TColorTableLayout table = ColorTableLayout(TBlockReader(block.data(), headerSize));
    info.ColorDepth = int(table.BitCount);
    if (table.BitCount > 8) return info;
    // As the decoder reads it: pixels that start inside the table cut it short.
    const std::uint32_t pixelOffset = fileFields.U32(10);
    const std::uint32_t tableStart = FileHeaderSize + headerSize;
    if (pixelOffset >= tableStart)
        table.Count = int(std::min<std::uint32_t>(std::uint32_t(table.Count), (pixelOffset - tableStart) / table.EntrySize));
    ReadUpTo(file, block.data() + headerSize, std::size_t(table.Count) * table.EntrySize);
    info.Palette = TablePalette(TBlockReader(block.data(), block.size()), headerSize, table);
    return info;
}

PaletteHandle MakeDIBPalette(const std::uint8_t* block, std::size_t blockSize)
{
    const TBlockReader header(block, block ? blockSize : 0);
    const std::uint32_t headerSize = header.U32(0);
    if (!IsBmpInfoHeaderSize(headerSize) || blockSize < headerSize) return nullptr;
    const TColorTableLayout table = ColorTableLayout(header);
    if (table.BitCount > 8) return nullptr;
    return TablePalette(header, headerSize, table);
}

int MakeSaveInfo(TBitmapHeaderBlock& block, const TBitmap& bitmap, int depth, const TLogPalette* palette)
{
    block.fill(0);
    Put32(&block[0], InfoHeaderSize);
    if (bitmap.Empty()) return -1;
    const TBmpWriteFormat format = SaveFormat(bitmap.View(), depth, palette);
    PutBmpInfo(block.data(), bitmap.Width(), bitmap.Height(), format);
    return int(format.Colors.size());
}

bool SaveBitmapFile(const std::string& fileName, const TBitmap& bitmap, int depth, const TLogPalette* palette)
{
    try {
        // No image is a failure at every depth: the bitmap's own saving would
        // write a file of no pixels.
        if (bitmap.Empty()) return false;
        if (depth != 0) return SaveBitmapFile(fileName, bitmap.View(), depth, palette);
        // An indexed bitmap without a palette is written with its own colours,
        // not the default table of the bitmap's own saving.
        if (IsIndexedFormat(bitmap.PixelFormat) && !bitmap.Palette())
            return SaveBitmapFile(fileName, bitmap.View(), BmpDepthOf(bitmap.PixelFormat), nullptr);
        kxWaitCursor wait;
        return WriteFileReplacing(fileName, [&](TStream& out) { bitmap.SaveToStream(out); });
    } catch (...) {
        return false;
    }
}

namespace {

// Through the caller's kept buffer, or without one through the writer's own.
bool SaveView(const std::string& fileName, const TPixelView& pixels, int depth, const TLogPalette* palette,
              TByteBuffer* kept)
{
    try {
        kxWaitCursor wait;
        if (pixels.Empty() || !IsWritableDepth(depth)) return false;
        const TBmpWriteFormat format = SaveFormat(pixels, depth, palette);
        const std::uint64_t fileSize = format.DataOffset() + BmpRowSize(pixels.Width, depth) * std::uint64_t(pixels.Height);
        if (fileSize > std::numeric_limits<std::uint32_t>::max()) return false;  // beyond what the header can say
        return WriteFileReplacing(fileName, [&](TStream& out) {
            if (kept)
                WriteBmp(out, pixels, format, *kept);
            else
                WriteBmp(out, pixels, format);
        });
    } catch (...) {
        return false;
    }
}

}  // namespace

bool SaveBitmapFile(const std::string& fileName, const TPixelView& pixels, int depth, const TLogPalette* palette)
{
    return SaveView(fileName, pixels, depth, palette, nullptr);
}

bool SaveBitmapFile(const std::string& fileName, const TPixelView& pixels, int depth, const TLogPalette* palette,
                    TByteBuffer& buffer)
{
    return SaveView(fileName, pixels, depth, palette, &buffer);
}

bool SaveBitmapFile(const std::string& fileName, const TTripleView& triples, TPoint at, int width, int height,
                    TByteBuffer& buffer)
{
    try {
        kxWaitCursor wait;
        if (width <= 0 || height <= 0) return false;
        const std::uint64_t fileSize = TBmpWriteFormat{}.DataOffset() + BmpRowSize(width, 24) * std::uint64_t(height);
        if (fileSize > std::numeric_limits<std::uint32_t>::max()) return false;  // beyond what the header can say
        return WriteFileReplacing(fileName,
                                  [&](TStream& out) { WriteBmp(out, triples, at, width, height, buffer); });
    } catch (...) {
        return false;
    }
}
