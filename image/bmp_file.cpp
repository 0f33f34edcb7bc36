#include "image/bmp_file.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>
#include <memory>
#include <vector>

#include "framework/bitmap.h"
#include "framework/pixel_rows.h"
#include "framework/streams.h"
#include "image/kx_wait_cursor.h"
#include "image/replacing_file_write.h"
#include "image/text_helpers.h"

static_assert(std::endian::native == std::endian::little, "pixels and colour entries are read as little-endian words");

namespace {

constexpr std::uint16_t BitmapFileType = 0x4D42;  // "BM"
constexpr std::size_t FileHeaderSize = 14;
constexpr std::uint32_t InfoHeaderSize = 40;  // BITMAPINFOHEADER
constexpr std::uint32_t CoreHeaderSize = 12;  // BITMAPCOREHEADER, the OS/2 form
constexpr std::size_t CoreTableOffset = FileHeaderSize + CoreHeaderSize;
constexpr int MaxColors = 256;
// Rows go to the file in blocks of up to this size: each write has a fixed cost
// (a system call, the file's times updated), while the memory stays bounded.
constexpr std::size_t WriteChunkSize = 1024 * 1024;

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

void Put16(std::uint8_t* at, std::uint32_t value)
{
    at[0] = std::uint8_t(value);
    at[1] = std::uint8_t(value >> 8);
}

void Put32(std::uint8_t* at, std::uint32_t value)
{
    Put16(at, value & 0xFFFF);
    Put16(at + 2, value >> 16);
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

bool IsIndexedDepth(int depth)
{
    return depth == 1 || depth == 2 || depth == 4 || depth == 8;
}

bool IsWritableDepth(int depth)
{
    return IsIndexedDepth(depth) || depth == 16 || depth == 24 || depth == 32;
}

std::uint64_t RowSize(int width, int depth)
{
    return (std::uint64_t(width) * std::uint64_t(depth) + 31) / 32 * 4;
}

std::uint32_t EntryColor(const std::uint8_t* entry)
{
    return entry[0] | std::uint32_t(entry[1]) << 8 | std::uint32_t(entry[2]) << 16;
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

// The table index for a colour: the first entry equal to it, else the nearest
// entry by squared distance with ties to the lowest index, 0 with no entries.
// Results are remembered, for the last colour and in a small direct-mapped
// cache, since pictures repeat their colours.
class TColorIndexer {
public:
    TColorIndexer(const std::uint32_t* colors, int count) : colors_(colors), count_(std::size_t(count)) {}

    std::uint8_t IndexOf(std::uint32_t color)
    {
        if (color == lastColor_) return lastIndex_;
        Slot& slot = cache_[(color * 2654435761u) >> (32 - CacheBits)];
        if (slot.Color != color) {
            slot.Color = color;
            slot.Index = Search(color);
        }
        lastColor_ = color;
        lastIndex_ = slot.Index;
        return lastIndex_;
    }

private:
    static constexpr int CacheBits = 12;
    static constexpr std::uint32_t Unused = 0xFFFFFFFF;
    struct Slot {
        std::uint32_t Color = Unused;
        std::uint8_t Index = 0;
    };

    std::uint8_t Search(std::uint32_t color) const
    {
        if (const auto exact = ScanDWord(colors_, color, count_)) return std::uint8_t(*exact);
        std::uint8_t best = 0;
        int bestDistance = std::numeric_limits<int>::max();
        for (std::size_t i = 0; i < count_; ++i) {
            const std::uint32_t entry = colors_[i];
            const int db = int(entry & 0xFF) - int(color & 0xFF);
            const int dg = int((entry >> 8) & 0xFF) - int((color >> 8) & 0xFF);
            const int dr = int((entry >> 16) & 0xFF) - int((color >> 16) & 0xFF);
            const int distance = db * db + dg * dg + dr * dr;
            if (distance < bestDistance) {
                bestDistance = distance;
                best = std::uint8_t(i);
            }
        }
        return best;
    }

    const std::uint32_t* colors_;
    std::size_t count_;
    std::uint32_t lastColor_ = Unused;
    std::uint8_t lastIndex_ = 0;
    std::vector<Slot> cache_ = std::vector<Slot>(std::size_t(1) << CacheBits);
};

// Indexed pixels, `Depth` bits each, the leftmost pixel of each byte in its
// most significant bits; a partial last byte keeps zeros in its low bits.
template <int Depth>
void PackIndexed(const std::uint32_t* pixels, std::size_t width, TColorIndexer& indexer, std::uint8_t* row)
{
    constexpr std::size_t PerByte = 8 / Depth;
    std::size_t x = 0;
    for (; x + PerByte <= width; x += PerByte) {
        unsigned byte = 0;
        for (std::size_t k = 0; k < PerByte; ++k) byte = byte << Depth | indexer.IndexOf(PixelColor(pixels[x + k]));
        *row++ = std::uint8_t(byte);
    }
    if (x < width) {
        unsigned byte = 0;
        for (std::size_t k = 0; k < PerByte; ++k)
            byte = byte << Depth | (x + k < width ? indexer.IndexOf(PixelColor(pixels[x + k])) : 0u);
        *row = std::uint8_t(byte);
    }
}

// One output row of `rowSize` bytes, padding included, from one picture row
// (`pixels`, left to right).
void PackRow(const std::uint32_t* pixels, std::size_t width, int depth, TColorIndexer& indexer, std::uint8_t* row,
             std::size_t rowSize)
{
    std::size_t used = 0;
    switch (depth) {
    case 1:
        PackIndexed<1>(pixels, width, indexer, row);
        used = (width + 7) / 8;
        break;
    case 2:
        PackIndexed<2>(pixels, width, indexer, row);
        used = (width + 3) / 4;
        break;
    case 4:
        PackIndexed<4>(pixels, width, indexer, row);
        used = (width + 1) / 2;
        break;
    case 8:
        for (std::size_t x = 0; x < width; ++x) row[x] = indexer.IndexOf(PixelColor(pixels[x]));
        used = width;
        break;
    case 16:  // 5-5-5, the uncompressed 16-bit form
        for (std::size_t x = 0; x < width; ++x) {
            const std::uint32_t p = pixels[x];
            const std::uint32_t v = ((p >> 19) & 0x1F) << 10 | ((p >> 11) & 0x1F) << 5 | ((p >> 3) & 0x1F);
            Put16(row + 2 * x, v);
        }
        used = 2 * width;
        break;
    case 24:
        PackTriples(pixels, row, width);
        used = 3 * width;
        break;
    case 32:
        std::memcpy(row, pixels, 4 * width);
        for (std::size_t i = 3; i < 4 * width; i += 4) row[i] = 0;
        used = 4 * width;
        break;
    }
    std::memset(row + used, 0, rowSize - used);
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
    TBitmapHeaderBlock block{};
    file.SetPosition(0);
    std::uint8_t fileHeader[FileHeaderSize] = {};
    ReadUpTo(file, fileHeader, sizeof fileHeader);
    ReadUpTo(file, block.data(), InfoHeaderSize);
    if (TBlockReader(fileHeader, sizeof fileHeader).U16(0) != BitmapFileType) return info;
    const TBlockReader header(block.data(), block.size());
    const std::uint32_t headerSize = header.U32(0);
    if (headerSize == InfoHeaderSize) {
        info.ColorDepth = header.U16(14);
        if (info.ColorDepth <= 8) {
            const int count = ColorTableCount(unsigned(info.ColorDepth), header.U32(32));
            ReadUpTo(file, block.data() + InfoHeaderSize, std::size_t(count) * 4);
        }
    } else if (headerSize == CoreHeaderSize) {
        info.ColorDepth = header.U16(10);
        if (info.ColorDepth <= 8) {
            const int count = ColorTableCount(unsigned(info.ColorDepth), 0);
            std::uint8_t* table = block.data() + CoreHeaderSize;
            std::fill(table, block.data() + block.size(), std::uint8_t(0));
            file.SetPosition(CoreTableOffset);
            ReadUpTo(file, table, std::size_t(count) * 3);
        }
    }
    info.Palette = MakeDIBPalette(block.data(), block.size());
    return info;
}

PaletteHandle MakeDIBPalette(const std::uint8_t* block, std::size_t blockSize)
{
    const TBlockReader header(block, block ? blockSize : 0);
    unsigned bitCount = 0;
    int count = 0;
    std::size_t entrySize = 0;
    switch (header.U32(0)) {
    case InfoHeaderSize:
        bitCount = header.U16(14);
        if (bitCount > 8) return nullptr;
        count = ColorTableCount(bitCount, header.U32(32));
        entrySize = 4;
        break;
    case CoreHeaderSize:
        bitCount = header.U16(10);
        if (bitCount > 8) return nullptr;
        count = ColorTableCount(bitCount, 0);
        entrySize = 3;
        break;
    default:
        return nullptr;
    }
    const std::size_t tableOffset = header.U32(0);
    if (blockSize < tableOffset) return nullptr;  // not even the whole header
    PaletteHandle palette = NewPalette(count);
    for (int i = 0; i < count; ++i) {
        const std::size_t entry = tableOffset + std::size_t(i) * entrySize;
        TPaletteEntry& target = palette->palPalEntry[std::size_t(i)];
        target.peBlue = header.U8(entry);
        target.peGreen = header.U8(entry + 1);
        target.peRed = header.U8(entry + 2);
    }
    return palette;
}

int MakeSaveInfo(TBitmapHeaderBlock& block, const TBitmap& bitmap, int depth, const TLogPalette* palette)
{
    block.fill(0);
    Put32(&block[0], InfoHeaderSize);
    if (bitmap.Empty()) return -1;
    const int width = bitmap.Width();
    const int height = bitmap.Height();
    Put32(&block[4], std::uint32_t(width));
    Put32(&block[8], std::uint32_t(height));
    Put16(&block[12], 1);
    Put32(&block[16], 0);

    int count = 0;
    const bool indexed = depth >= 1 && depth <= 8;
    const int limit = indexed ? 1 << depth : 0;
    std::uint8_t* table = &block[InfoHeaderSize];
    // An empty palette counts as none: a table of no entries would be written
    // with colours used 0, which readers take for a full table.
    if (indexed && palette && palette->palNumEntries > 0) {
        const int n = std::min({limit, int(palette->palNumEntries), TLogPalette::MaxEntries});
        for (; count < n; ++count) {
            const TPaletteEntry& e = palette->palPalEntry[std::size_t(count)];
            std::uint8_t* entry = table + 4 * std::size_t(count);
            entry[0] = e.peBlue;
            entry[1] = e.peGreen;
            entry[2] = e.peRed;
        }
    } else if (indexed) {
        // Colours in the order of their first appearance, bottom row first,
        // until the table is full.
        TColorSet seen;
        std::uint32_t previous = 0xFFFFFFFF;  // no colour
        for (int y = 0; y < height && count < limit; ++y) {
            const std::uint32_t* pixels = bitmap.ScanLine(height - 1 - y);
            for (int x = 0; x < width && count < limit; ++x) {
                const std::uint32_t color = PixelColor(pixels[x]);
                if (color == previous) continue;
                previous = color;
                if (seen.Insert(color)) Put32(table + 4 * std::size_t(count++), color);
            }
        }
    }

    const std::uint64_t imageSize = std::uint64_t(height) * RowSize(width, depth < 0 ? 0 : depth);
    Put16(&block[14], std::uint32_t(depth) & 0xFFFF);
    Put32(&block[20], std::uint32_t(imageSize));
    Put32(&block[32], indexed && count < limit ? std::uint32_t(count) : 0);
    return count;
}

bool SaveBitmapFile(const std::string& fileName, const TBitmap& bitmap, int depth, const TLogPalette* palette)
{
    try {
        kxWaitCursor wait;
        // No image is a failure at every depth: the bitmap's own saving would
        // write a file of no pixels.
        if (bitmap.Empty()) return false;
        if (depth == 0)
            return WriteFileReplacing(fileName, [&](const std::string& temporary) { bitmap.SaveToFile(temporary); });
        if (!IsWritableDepth(depth)) return false;

        auto block = std::make_unique<TBitmapHeaderBlock>();
        const int count = MakeSaveInfo(*block, bitmap, depth, palette);
        if (count < 0) return false;
        const std::uint64_t rowSize = RowSize(bitmap.Width(), depth);
        const std::uint32_t dataOffset = std::uint32_t(FileHeaderSize + InfoHeaderSize + 4 * std::size_t(count));
        const std::uint64_t fileSize = dataOffset + rowSize * std::uint64_t(bitmap.Height());
        if (fileSize > std::numeric_limits<std::uint32_t>::max()) return false;  // beyond what the header can say

        std::array<std::uint32_t, MaxColors> colors{};
        for (int i = 0; i < count; ++i) colors[std::size_t(i)] = EntryColor(&(*block)[InfoHeaderSize + 4 * std::size_t(i)]);

        return WriteFileReplacing(fileName, [&](const std::string& temporary) {
            TFileStream out(temporary, fmCreate);
            // The headers and then the rows, packed straight from the picture's
            // own rows, go through one buffer of a fixed size, written when full:
            // a few large writes instead of one per row, and memory that does not
            // grow with the picture. Every byte of it is written before it is sent.
            const std::size_t headers = FileHeaderSize + InfoHeaderSize + 4 * std::size_t(count);
            const std::size_t row = std::size_t(rowSize);
            const std::size_t rowsPerChunk = std::clamp<std::size_t>(WriteChunkSize / row, 1, std::size_t(bitmap.Height()));
            const std::size_t capacity = std::max(headers, rowsPerChunk * row);
            const std::unique_ptr<std::uint8_t[]> chunk(new std::uint8_t[capacity]);
            std::uint8_t* const fileHeader = chunk.get();
            std::memset(fileHeader, 0, FileHeaderSize);
            Put16(fileHeader, BitmapFileType);
            Put32(fileHeader + 2, std::uint32_t(fileSize));
            Put32(fileHeader + 10, dataOffset);
            std::memcpy(fileHeader + FileHeaderSize, block->data(), headers - FileHeaderSize);
            std::size_t filled = headers;

            TColorIndexer indexer(colors.data(), count);
            const int height = bitmap.Height();
            for (int y = 0; y < height; ++y) {  // bottom row first
                if (filled + row > capacity) {
                    out.WriteBuffer(chunk.get(), std::int64_t(filled));
                    filled = 0;
                }
                PackRow(bitmap.ScanLine(height - 1 - y), std::size_t(bitmap.Width()), depth, indexer,
                        chunk.get() + filled, row);
                filled += row;
            }
            out.WriteBuffer(chunk.get(), std::int64_t(filled));
            out.Close();
        });
    } catch (...) {
        return false;
    }
}
