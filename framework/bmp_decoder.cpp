#include "framework/bmp_decoder.h"

#include <algorithm>
#include <bit>
#include <climits>
#include <cstring>
#include <new>
#include <vector>

#include "framework/byte_buffer.h"
#include "framework/exceptions.h"
#include "framework/pixel_rows.h"
#include "framework/streams.h"

// Choices this decoder makes where files in the wild differ from the format:
// - Pixel data offset (file header bfOffBits): honoured when it points at or past
//   the colour table; 0 or a value inside the headers is ignored and the pixels
//   are taken to follow the colour table. An offset inside the colour table cuts
//   the table short there. An offset past the end of the data is an error.
// - The last row of an uncompressed bitmap may lack its padding bytes.
// - Palette indices beyond the colour table give black.
// - RLE: runs and deltas past the row or the bitmap are errors; pixels a delta or
//   end-of-line code skips stay black; the end-of-bitmap code may be missing when
//   the data ends after the last row is complete; data that ends earlier is an
//   error. The data gives no useful bound on an RLE picture (one end-of-bitmap
//   code describes any size), so its size is bounded by MaxBitmapPixels like any
//   bitmap's. Top-down RLE bitmaps do not exist in the format and are rejected.
// - A region read checks the file as a whole read does, then reads only its
//   rows. RLE data is decoded up to the region's top row, and what follows it is
//   not read: data that ends, or is broken, above the region goes unnoticed.
// - 2 bits per pixel decodes to pf4bit, the smallest format TBitmap writes that
//   holds its four colours with their palette.
// - 16-bit masks that share bits are read as they stand, but the picture records
//   5-6-5 for its saving: no masks written could give its pixels back.

namespace {

const char* const kInvalidBitmap = "ビットマップが不正です";

[[noreturn]] void Invalid()
{
    throw EInvalidGraphic(kInvalidBitmap);
}

std::uint16_t U16(const std::uint8_t* p)
{
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

std::uint32_t U32(const std::uint8_t* p)
{
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
}

// Bytes of the file image, from the stream position where it starts to the end of
// the stream. Memory streams are read in place; other streams through a buffer
// refilled in blocks (large ones unless the caller reads only parts).
class ByteSource {
public:
    explicit ByteSource(TStream& stream, std::int64_t block = std::int64_t{FileBlockSize})
        : stream_(stream), block_(block)
    {
        begin_ = stream.Position();
        size_ = std::max<std::int64_t>(0, stream.Size() - begin_);
        streamPosition_ = begin_;
        if (auto* memory = dynamic_cast<TCustomMemoryStream*>(&stream); memory && memory->Memory() && size_ > 0)
            memory_ = memory->Memory() + begin_;
    }

    std::int64_t Size() const { return size_; }
    std::int64_t Offset() const { return offset_; }
    std::int64_t Remaining() const { return size_ - offset_; }

    void Seek(std::int64_t offset)
    {
        offset = std::clamp<std::int64_t>(offset, 0, size_);
        // The buffer holds the bytes from offset_ - bufferStart_ up to
        // offset_ + (bufferEnd_ - bufferStart_): a move inside it reads nothing.
        const std::int64_t move = offset - offset_;
        if (move >= -std::int64_t(bufferStart_) && move <= std::int64_t(bufferEnd_ - bufferStart_))
            bufferStart_ = std::size_t(std::int64_t(bufferStart_) + move);
        else
            bufferStart_ = bufferEnd_ = 0;
        offset_ = offset;
    }

    // The next n bytes, or none when fewer remain.
    const std::uint8_t* Take(std::int64_t n)
    {
        if (n < 0 || n > Remaining()) return nullptr;
        if (memory_) {
            const std::uint8_t* p = memory_ + offset_;
            offset_ += n;
            return p;
        }
        if (std::int64_t(bufferEnd_ - bufferStart_) < n) Refill(n);
        const std::uint8_t* p = buffer_.get() + bufferStart_;
        bufferStart_ += static_cast<std::size_t>(n);
        offset_ += n;
        return p;
    }

    // The n bytes at offset, in place or read straight into `scratch` with one
    // read; none when fewer are there. The source then stands behind them.
    const std::uint8_t* Span(std::int64_t offset, std::int64_t n, TByteBuffer& scratch)
    {
        if (offset < 0 || n < 0 || n > size_ - offset) return nullptr;
        if (memory_) return memory_ + offset;
        std::uint8_t* const out = scratch.Reserve(static_cast<std::size_t>(n));
        stream_.Seek(begin_ + offset, soBeginning);
        std::int64_t done = 0;
        while (done < n) {
            const std::int64_t got = stream_.Read(out + done, n - done);
            if (got <= 0) Invalid();  // cut short since its size was taken
            done += got;
        }
        streamPosition_ = begin_ + offset + n;
        bufferStart_ = bufferEnd_ = 0;
        offset_ = offset + n;
        return out;
    }

    // Leaves the stream just behind what was taken.
    void Finish() { stream_.Seek(begin_ + offset_, soBeginning); }

private:
    void Refill(std::int64_t n)
    {
        const std::size_t kept = bufferEnd_ - bufferStart_;
        const std::int64_t want = std::min(std::max(n, block_), Remaining());
        if (capacity_ < static_cast<std::size_t>(want)) {
            // Not cleared: only bytes the stream delivered are ever read.
            std::unique_ptr<std::uint8_t[]> bigger;
            try {
                bigger.reset(new std::uint8_t[static_cast<std::size_t>(want)]);
            } catch (const std::bad_alloc&) {
                throw EOutOfResources("メモリが足りません");
            }
            if (kept) std::memcpy(bigger.get(), buffer_.get() + bufferStart_, kept);
            buffer_ = std::move(bigger);
            capacity_ = static_cast<std::size_t>(want);
        } else if (kept) {
            std::memmove(buffer_.get(), buffer_.get() + bufferStart_, kept);
        }
        bufferStart_ = 0;
        bufferEnd_ = kept;
        // Reading on from where the last block ended needs no seek (a system call
        // for a file).
        const std::int64_t from = begin_ + offset_ + std::int64_t(kept);
        if (from != streamPosition_) stream_.Seek(from, soBeginning);
        streamPosition_ = from;
        while (bufferEnd_ < static_cast<std::size_t>(want)) {
            const std::int64_t got = stream_.Read(buffer_.get() + bufferEnd_, want - std::int64_t(bufferEnd_));
            if (got <= 0) break;
            bufferEnd_ += static_cast<std::size_t>(got);
            streamPosition_ += got;
        }
        // A stream that delivers less than its size said is a truncated file.
        if (std::int64_t(bufferEnd_) < n) Invalid();
    }

    TStream& stream_;
    std::int64_t block_;
    std::int64_t begin_ = 0;
    std::int64_t streamPosition_ = -1;  // where the stream stands, when known
    std::int64_t size_ = 0;
    std::int64_t offset_ = 0;
    const std::uint8_t* memory_ = nullptr;
    std::unique_ptr<std::uint8_t[]> buffer_;
    std::size_t capacity_ = 0;
    std::size_t bufferStart_ = 0;
    std::size_t bufferEnd_ = 0;
};

enum Compression : std::uint32_t {
    BI_RGB = 0,
    BI_RLE8 = 1,
    BI_RLE4 = 2,
    BI_BITFIELDS = 3,
    BI_ALPHABITFIELDS = 6,
};

struct Header {
    std::uint32_t size = 0;
    std::int64_t width = 0;
    std::int64_t height = 0;  // negative: rows stored top row first
    unsigned planes = 0;
    unsigned bitCount = 0;
    std::uint32_t compression = BI_RGB;
    std::uint32_t colorsUsed = 0;
    std::uint32_t masks[3] = {};
    bool masksInHeader = false;
    bool os2 = false;         // 16 to 64-byte OS/2 2.x header
    unsigned entrySize = 4;  // colour table entry: 3 bytes after a 12-byte header
};

// Info header, any of its forms. `block` holds `size` bytes.
Header ParseHeader(const std::uint8_t* block, std::uint32_t size)
{
    Header h;
    h.size = size;
    if (size == 12) {
        // BITMAPCOREHEADER: 16-bit width and height, 3-byte colour entries.
        h.width = U16(block + 4);
        h.height = U16(block + 6);
        h.planes = U16(block + 8);
        h.bitCount = U16(block + 10);
        h.entrySize = 3;
        return h;
    }
    h.width = static_cast<std::int32_t>(U32(block + 4));
    h.height = static_cast<std::int32_t>(U32(block + 8));
    h.planes = U16(block + 12);
    h.bitCount = U16(block + 14);
    // The OS/2 2.x header may stop after any field; absent fields read as 0.
    auto field = [&](std::uint32_t at) { return at + 4 <= size ? U32(block + at) : 0u; };
    h.compression = field(16);
    h.colorsUsed = field(32);
    h.os2 = size == 16 || size == 64;
    if (size >= 52 && !h.os2) {
        // BITMAPV2INFOHEADER and later (V3, V4, V5) carry the masks themselves.
        h.masks[0] = U32(block + 40);
        h.masks[1] = U32(block + 44);
        h.masks[2] = U32(block + 48);
        h.masksInHeader = true;
    }
    return h;
}

}  // namespace

bool IsBmpInfoHeaderSize(std::uint32_t size)
{
    switch (size) {
    case 12:   // BITMAPCOREHEADER
    case 16:   // OS/2 2.x, shortened
    case 40:   // BITMAPINFOHEADER
    case 52:   // BITMAPV2INFOHEADER
    case 56:   // BITMAPV3INFOHEADER
    case 64:   // OS/2 2.x
    case 108:  // BITMAPV4HEADER
    case 124:  // BITMAPV5HEADER
        return true;
    default:
        return false;
    }
}

namespace {

// One colour channel of a bit-field pixel: its position and how to widen it to
// eight bits.
struct Channel {
    std::uint32_t mask = 0;
    int shift = 0;
    int width = 0;  // bits from the lowest to the highest set bit
    std::uint8_t widen[256] = {};

    explicit Channel(std::uint32_t m) : mask(m)
    {
        if (!m) return;
        shift = std::countr_zero(m);
        width = std::bit_width(m >> shift);
        if (width < 8) {
            const std::uint32_t max = (1u << width) - 1;
            for (std::uint32_t v = 0; v <= max; ++v) widen[v] = std::uint8_t((v * 255 + max / 2) / max);
        }
    }

    std::uint32_t operator()(std::uint32_t pixel) const
    {
        const std::uint32_t v = (pixel & mask) >> shift;
        return width >= 8 ? (v >> (width - 8)) & 0xFF : widen[v];
    }
};

// The picture's size and the part of it that is kept, whose rows are packed.
struct Picture {
    int width = 0;
    int height = 0;
    bool topDown = false;
    TRect part;
    std::uint32_t* bits = nullptr;

    // Row y of the part, y counted from the picture's top.
    std::uint32_t* Row(std::int64_t y) const
    {
        return bits + std::size_t(y - part.Top) * std::size_t(part.Right - part.Left);
    }
    // Destination row for the n-th stored row.
    std::uint32_t* StoredRow(std::int64_t n) const { return Row(topDown ? n : height - 1 - n); }
};

// `width` pixels from the row at src, starting `skip` pixels into its first byte
// (always 0 from 8 bits up).
void ConvertRow(const std::uint8_t* src, int skip, std::uint32_t* dst, int width, unsigned bitCount,
                const std::uint32_t* colors, const Channel* channels, bool plain)
{
    switch (bitCount) {
    case 1:
        for (int x = skip; x < skip + width; ++x) *dst++ = colors[(src[x >> 3] >> (7 - (x & 7))) & 1];
        break;
    case 2:
        for (int x = skip; x < skip + width; ++x) *dst++ = colors[(src[x >> 2] >> (6 - 2 * (x & 3))) & 3];
        break;
    case 4:
        for (int x = skip; x < skip + width; ++x) *dst++ = colors[(src[x >> 1] >> ((x & 1) ? 0 : 4)) & 15];
        break;
    case 8:
        for (int x = 0; x < width; ++x) dst[x] = colors[src[x]];
        break;
    case 16:
        for (int x = 0; x < width; ++x) {
            const std::uint32_t v = U16(src + 2 * x);
            dst[x] = channels[0](v) << 16 | channels[1](v) << 8 | channels[2](v);
        }
        break;
    case 24:
        ExpandTriples(src, dst, std::size_t(width));
        break;
    case 32:
        if (plain) {
            for (int x = 0; x < width; ++x) dst[x] = U32(src + 4 * x) & 0xFFFFFF;
        } else {
            for (int x = 0; x < width; ++x) {
                const std::uint32_t v = U32(src + 4 * x);
                dst[x] = channels[0](v) << 16 | channels[1](v) << 8 | channels[2](v);
            }
        }
        break;
    }
}

void DecodeUncompressed(ByteSource& source, const Picture& picture, unsigned bitCount, const std::uint32_t* colors,
                        const Channel* channels, bool plain)
{
    const std::int64_t used = (std::int64_t(picture.width) * bitCount + 7) / 8;
    const std::int64_t rowSize = (std::int64_t(picture.width) * bitCount + 31) / 32 * 4;
    // Checked before the pixel buffer was made; a shorter stream fails in Take.
    for (std::int64_t n = 0; n < picture.height; ++n) {
        const bool last = n == picture.height - 1;
        const std::uint8_t* src = source.Take(last ? used : rowSize);
        if (!src) Invalid();
        ConvertRow(src, 0, picture.StoredRow(n), picture.width, bitCount, colors, channels, plain);
    }
    if (source.Remaining() >= rowSize - used) source.Take(rowSize - used);
}

// Rows of a region read per call: at most this many bytes of whole rows, or a
// row's columns alone where the rest of a row is at least ColumnReadGap long (a
// read call costs about as much as copying that much).
constexpr std::int64_t RowReadLimit = std::int64_t{2} << 20;
constexpr std::int64_t ColumnReadGap = std::int64_t{16} << 10;

std::int64_t StoredRowSize(int width, unsigned bitCount)
{
    return (std::int64_t(width) * bitCount + 31) / 32 * 4;
}

// Reads the part's stored rows, each from the part's first byte, several per
// read where the rows are short (see above): `take(n, k, src)` gets stored rows
// n to n + k - 1 of the part, counted from the part's first stored row, at src,
// a row's size apart.
template <class Take>
void ReadPart(ByteSource& source, std::int64_t dataStart, const Picture& picture, unsigned bitCount,
              TByteBuffer& rows, Take take)
{
    const TRect& part = picture.part;
    const std::int64_t rowSize = StoredRowSize(picture.width, bitCount);
    const std::int64_t firstByte = std::int64_t(part.Left) * bitCount / 8;
    const std::int64_t span = (std::int64_t(part.Right) * bitCount + 7) / 8 - firstByte;
    // The part's stored rows follow one another in the file from firstRow on.
    const std::int64_t firstRow = picture.topDown ? part.Top : picture.height - part.Bottom;
    const std::int64_t count = part.Bottom - part.Top;
    const std::int64_t perRead =
        rowSize - span >= ColumnReadGap ? 1 : std::max<std::int64_t>(1, RowReadLimit / rowSize);
    for (std::int64_t i = 0; i < count; i += perRead) {
        const std::int64_t k = std::min(perRead, count - i);
        const std::uint8_t* src =
            source.Span(dataStart + (firstRow + i) * rowSize + firstByte, (k - 1) * rowSize + span, rows);
        if (!src) Invalid();
        take(i, k, src);
    }
}

// The part's rows and columns only, from the stored rows at dataStart.
void DecodeUncompressedPart(ByteSource& source, std::int64_t dataStart, const Picture& picture, unsigned bitCount,
                            const std::uint32_t* colors, const Channel* channels, bool plain, TByteBuffer& rows)
{
    const TRect& part = picture.part;
    const std::int64_t rowSize = StoredRowSize(picture.width, bitCount);
    const int skip = int(std::int64_t(part.Left) * bitCount % 8 / bitCount);
    const std::int64_t firstRow = picture.topDown ? part.Top : picture.height - part.Bottom;
    ReadPart(source, dataStart, picture, bitCount, rows, [&](std::int64_t n, std::int64_t k, const std::uint8_t* src) {
        for (std::int64_t j = 0; j < k; ++j)
            ConvertRow(src + j * rowSize, skip, picture.StoredRow(firstRow + n + j), part.Right - part.Left, bitCount,
                       colors, channels, plain);
    });
}

// The part's rows of a 24-bit file as the file stores them: where one read
// brings them all they stay where it put them, otherwise each read's rows are
// gathered, in the file's order.
TTripleView KeepTriples(ByteSource& source, std::int64_t dataStart, const Picture& picture, TByteBuffer& rows,
                        TByteBuffer& gathered)
{
    const TRect& part = picture.part;
    const std::int64_t rowSize = StoredRowSize(picture.width, 24);
    const std::int64_t span = std::int64_t(part.Right - part.Left) * 3;
    const std::int64_t count = part.Bottom - part.Top;
    const std::uint8_t* first = nullptr;
    std::uint8_t* out = nullptr;  // the gathered rows, where they took several reads
    ReadPart(source, dataStart, picture, 24, rows, [&](std::int64_t n, std::int64_t k, const std::uint8_t* src) {
        if (k == count) {
            first = src;
            return;
        }
        if (!out) out = gathered.Reserve(std::size_t(count * span));
        for (std::int64_t j = 0; j < k; ++j) std::memcpy(out + (n + j) * span, src + j * rowSize, std::size_t(span));
    });
    const std::int64_t stride = out ? span : rowSize;
    if (out) first = out;
    // The first stored row is the part's top row in a top-down file, its bottom row otherwise.
    if (picture.topDown) return TTripleView{first, std::ptrdiff_t(stride), part.Right - part.Left, int(count)};
    return TTripleView{first + (count - 1) * stride, -std::ptrdiff_t(stride), part.Right - part.Left, int(count)};
}

// RLE8 and RLE4: pairs of (count, value) or an escape (0, code): 0 end of line,
// 1 end of bitmap, 2 delta (dx, dy follow), 3..255 an absolute run of that many
// pixels padded to a 16-bit boundary. Rows are counted from the bottom. Only the
// part's pixels are stored, and decoding ends above the part's top row.
void DecodeRle(ByteSource& source, const Picture& picture, bool rle4, const std::uint32_t* colors)
{
    const std::int64_t width = picture.width, height = picture.height;
    const TRect& part = picture.part;
    // Counted from the bottom; a part that reaches the top row reads the data to
    // its end, as a whole picture does.
    const std::int64_t lastRow = part.Top > 0 ? height - 1 - part.Top : height;
    std::int64_t x = 0, y = 0;
    // Where a run of n pixels at x lands in the part: its destination and the
    // run's first and last pixel kept (none kept when first equals last).
    struct Kept {
        std::uint32_t* dst;
        unsigned first, last;
    };
    auto keep = [&](unsigned n) -> Kept {
        const std::int64_t py = height - 1 - y;
        if (py < part.Top || py >= part.Bottom) return {nullptr, 0, 0};
        const std::int64_t from = std::max<std::int64_t>(x, part.Left), to = std::min<std::int64_t>(x + n, part.Right);
        if (from >= to) return {nullptr, 0, 0};
        return {picture.Row(py) + (from - part.Left), unsigned(from - x), unsigned(to - x)};
    };
    for (;;) {
        const std::uint8_t* code = source.Take(2);
        if (!code) {
            // Data that ends after the last row is complete stands for end of bitmap.
            if (y >= height || (y == height - 1 && x == width)) return;
            Invalid();
        }
        const unsigned count = code[0], value = code[1];
        if (count > 0) {
            if (y >= height || x + count > width) Invalid();
            const Kept k = keep(count);
            if (rle4) {
                const std::uint32_t pair[2] = {colors[value >> 4], colors[value & 15]};
                for (unsigned i = k.first; i < k.last; ++i) k.dst[i - k.first] = pair[i & 1];
            } else if (k.dst) {
                std::fill(k.dst, k.dst + (k.last - k.first), colors[value]);
            }
            x += count;
            continue;
        }
        switch (value) {
        case 0:  // end of line
            if (y >= height) Invalid();
            x = 0;
            ++y;
            if (y > lastRow) return;
            break;
        case 1:  // end of bitmap
            return;
        case 2: {  // delta: move right and up
            const std::uint8_t* delta = source.Take(2);
            if (!delta) Invalid();
            x += delta[0];
            y += delta[1];
            if (x > width || y > height || (y == height && x > 0)) Invalid();
            if (y > lastRow) return;
            break;
        }
        default: {  // absolute run
            const std::int64_t bytes = rle4 ? (value + 1) / 2 : value;
            const std::uint8_t* src = source.Take((bytes + 1) & ~std::int64_t{1});
            if (!src) Invalid();
            if (y >= height || x + value > width) Invalid();
            const Kept k = keep(value);
            if (rle4) {
                for (unsigned i = k.first; i < k.last; ++i)
                    k.dst[i - k.first] = colors[(src[i >> 1] >> ((i & 1) ? 0 : 4)) & 15];
            } else {
                for (unsigned i = k.first; i < k.last; ++i) k.dst[i - k.first] = colors[src[i]];
            }
            x += value;
            break;
        }
        }
    }
}

TPixelFormat FormatFor(unsigned bitCount, const std::uint32_t masks[3])
{
    switch (bitCount) {
    case 1: return pf1bit;
    case 2:
    case 4: return pf4bit;
    case 8: return pf8bit;
    case 16: return TColorMasks{masks[0], masks[1], masks[2]} == kMasks555 ? pf15bit : pf16bit;
    case 24: return pf24bit;
    default: return pf32bit;
    }
}

// The bit fields a 16-bit picture is saved with: its own, where saving them gives
// back every pixel as decoded; masks that share bits cannot, and are saved as
// 5-6-5.
TColorMasks MasksFor(TPixelFormat format, const std::uint32_t masks[3])
{
    if (format != pf16bit) return kMasks565;
    const bool disjoint = (masks[0] & masks[1]) == 0 && (masks[0] & masks[2]) == 0 && (masks[1] & masks[2]) == 0;
    return disjoint ? TColorMasks{masks[0], masks[1], masks[2]} : kMasks565;
}

std::unique_ptr<PixelBuffer> PixelsFor(std::unique_ptr<PixelBuffer> reusable, int width, int height, TPixelFill fill)
{
    if (!reusable || reusable->Width() != width || reusable->Height() != height) {
        reusable.reset();  // gone before the new memory is taken
        return MakePixelBuffer(width, height, fill);
    }
    if (fill == TPixelFill::Black) std::memset(reusable->Bits(), 0, std::size_t(width) * std::size_t(height) * 4);
    return reusable;
}

// The whole picture, or with `rows` given the part of it inside `region`; with
// `gathered` given too, a 24-bit file's part as its stored rows.
TDecodedBmp Decode(ByteSource& source, const TRect& region, TByteBuffer* rows, TByteBuffer* gathered,
                   std::unique_ptr<PixelBuffer> reusable)
{
    // BITMAPFILEHEADER and the size of the info header behind it.
    const std::uint8_t* fileHeader = source.Take(18);
    if (!fileHeader || fileHeader[0] != 'B' || fileHeader[1] != 'M') Invalid();
    const std::uint32_t pixelOffset = U32(fileHeader + 10);
    const std::uint32_t headerSize = U32(fileHeader + 14);
    if (!IsBmpInfoHeaderSize(headerSize)) Invalid();
    const std::uint8_t* info = source.Take(headerSize - 4);
    if (!info) Invalid();
    std::uint8_t block[124] = {};
    std::memcpy(block + 4, info, headerSize - 4);
    Header h = ParseHeader(block, headerSize);

    // Basic sanity of the header fields.
    if (h.planes != 1) Invalid();
    if (h.width <= 0 || h.height == 0 || h.height == INT_MIN) Invalid();
    switch (h.bitCount) {
    case 1: case 2: case 4: case 8: case 16: case 24: case 32: break;
    default: Invalid();
    }
    const bool topDown = h.height < 0;
    const std::int64_t height = topDown ? -h.height : h.height;
    const bool rle = h.compression == BI_RLE8 || h.compression == BI_RLE4;
    switch (h.compression) {
    case BI_RGB: break;
    case BI_RLE8: if (h.bitCount != 8 || topDown) Invalid(); break;
    case BI_RLE4: if (h.bitCount != 4 || topDown) Invalid(); break;
    case BI_BITFIELDS:
    case BI_ALPHABITFIELDS:
        // OS/2 2.x uses 3 for its own Huffman coding, which is not read here.
        if (h.os2 || (h.bitCount != 16 && h.bitCount != 32)) Invalid();
        break;
    default: Invalid();  // JPEG, PNG, CMYK and the OS/2 RLE24 are not read here
    }

    // Bit-field masks after a 40-byte header (three, or four with alpha).
    std::int64_t tableStart = 14 + std::int64_t(headerSize);
    std::uint32_t masks[3] = {0x00FF0000, 0x0000FF00, 0x000000FF};
    if (h.bitCount == 16) {
        masks[0] = 0x7C00;
        masks[1] = 0x03E0;
        masks[2] = 0x001F;
    }
    if (h.compression == BI_BITFIELDS || h.compression == BI_ALPHABITFIELDS) {
        if (h.masksInHeader) {
            std::copy(h.masks, h.masks + 3, masks);
        } else {
            const std::int64_t count = h.compression == BI_ALPHABITFIELDS ? 4 : 3;
            const std::uint8_t* p = source.Take(4 * count);
            if (!p) Invalid();
            for (int i = 0; i < 3; ++i) masks[i] = U32(p + 4 * i);
            tableStart += 4 * count;
        }
        if (h.bitCount == 16 && ((masks[0] | masks[1] | masks[2]) >> 16)) Invalid();
    }

    // Colour table.
    std::int64_t entries = 0;
    if (h.bitCount <= 8) {
        if (h.colorsUsed > 256) Invalid();
        entries = h.colorsUsed && h.size != 12 ? h.colorsUsed : std::int64_t{1} << h.bitCount;
    } else {
        entries = h.colorsUsed;  // an optional table for the display's sake, skipped
    }
    std::int64_t dataStart = tableStart + entries * h.entrySize;
    if (pixelOffset >= tableStart) {
        if (pixelOffset > source.Size()) Invalid();
        if (pixelOffset < dataStart) entries = (pixelOffset - tableStart) / h.entrySize;
        dataStart = pixelOffset;
    }
    if (dataStart > source.Size()) Invalid();

    std::uint32_t colors[256] = {};
    PaletteHandle palette;
    if (h.bitCount <= 8) {
        const std::uint8_t* table = source.Take(entries * h.entrySize);
        if (!table) Invalid();
        const int paletteSize = static_cast<int>(std::min<std::int64_t>(entries, std::int64_t{1} << h.bitCount));
        palette = NewPalette(paletteSize);
        for (int i = 0; i < paletteSize; ++i) {
            const std::uint8_t* e = table + std::size_t(i) * h.entrySize;
            colors[i] = std::uint32_t(e[0]) | std::uint32_t(e[1]) << 8 | std::uint32_t(e[2]) << 16;
            TPaletteEntry& entry = palette->palPalEntry[std::size_t(i)];
            entry.peRed = e[2];
            entry.peGreen = e[1];
            entry.peBlue = e[0];
        }
    }
    source.Seek(dataStart);

    // Uncompressed rows must all be there before memory is taken for them; the last
    // row may go without its padding.
    if (!rle) {
        const std::int64_t rowSize = (h.width * h.bitCount + 31) / 32 * 4;
        const std::int64_t used = (h.width * h.bitCount + 7) / 8;
        const std::int64_t available = source.Remaining();
        if (used > available || (height - 1) > (available - used) / rowSize) Invalid();
    }

    Picture picture{static_cast<int>(h.width), static_cast<int>(height), topDown, TRect{}, nullptr};
    picture.part = TRect{std::max(region.Left, 0), std::max(region.Top, 0), std::min(region.Right, picture.width),
                         std::min(region.Bottom, picture.height)};
    if (picture.part.Right <= picture.part.Left || picture.part.Bottom <= picture.part.Top) picture.part = TRect{};
    const TRect& part = picture.part;

    TDecodedBmp decoded;
    decoded.Width = part.Right - part.Left;
    decoded.Height = part.Bottom - part.Top;
    decoded.Origin = TPoint{part.Left, part.Top};
    decoded.Format = FormatFor(h.bitCount, masks);
    decoded.Masks16 = MasksFor(decoded.Format, masks);
    decoded.Palette = std::move(palette);
    if (decoded.Width == 0) return decoded;
    if (rows && gathered && !rle && h.bitCount == 24) {
        CheckBitmapSize(decoded.Width, decoded.Height);
        decoded.Triples = KeepTriples(source, dataStart, picture, *rows, *gathered);
        source.Finish();
        return decoded;
    }
    // Uncompressed rows cover every pixel; what RLE codes skip stays black.
    decoded.Pixels = PixelsFor(std::move(reusable), decoded.Width, decoded.Height,
                               rle ? TPixelFill::Black : TPixelFill::Undefined);
    picture.bits = decoded.Pixels->Bits();
    if (rle) {
        DecodeRle(source, picture, h.compression == BI_RLE4, colors);
    } else {
        const Channel channels[3] = {Channel(masks[0]), Channel(masks[1]), Channel(masks[2])};
        const bool plain = masks[0] == 0x00FF0000 && masks[1] == 0x0000FF00 && masks[2] == 0x000000FF;
        if (rows)
            DecodeUncompressedPart(source, dataStart, picture, h.bitCount, colors, channels, plain, *rows);
        else
            DecodeUncompressed(source, picture, h.bitCount, colors, channels, plain);
    }
    source.Finish();
    return decoded;
}

// A block for a region's header and colour table (the largest of both take
// 1178 bytes): a region reads its rows on its own, so the block need not bring
// more, and a caller's buffer of this size hands it over in one read.
constexpr std::int64_t RegionHeaderBlock = 2048;

}  // namespace

TDecodedBmp DecodeBmpFile(TStream& stream, std::unique_ptr<PixelBuffer> reusable)
{
    ByteSource source(stream);
    return Decode(source, TRect{0, 0, INT_MAX, INT_MAX}, nullptr, nullptr, std::move(reusable));
}

TDecodedBmp DecodeBmpFile(TStream& stream, const TRect& region, TByteBuffer& rows, std::unique_ptr<PixelBuffer> reusable)
{
    ByteSource source(stream, RegionHeaderBlock);
    return Decode(source, region, &rows, nullptr, std::move(reusable));
}

TDecodedBmp DecodeBmpFile(TStream& stream, const TRect& region, TByteBuffer& rows, TByteBuffer& gathered,
                          std::unique_ptr<PixelBuffer> reusable)
{
    ByteSource source(stream, RegionHeaderBlock);
    return Decode(source, region, &rows, &gathered, std::move(reusable));
}
