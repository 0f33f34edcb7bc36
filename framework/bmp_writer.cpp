#include "framework/bmp_writer.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <limits>
#include <memory>
#include <optional>
#include <span>

#include "framework/bitmap.h"
#include "framework/palette.h"
#include "framework/pixel_rows.h"
#include "framework/streams.h"

#if (defined(__GNUC__) || defined(__clang__)) && (defined(__x86_64__) || defined(__i386__))
#define TALVERN_INDEX_GATHERS 1
#include <immintrin.h>
#endif

static_assert(std::endian::native == std::endian::little, "32-bit pixels are copied to the file as they lie");

namespace {

constexpr std::uint16_t BitmapFileType = 0x4D42;  // "BM"
// Rows go to the stream in blocks of up to this size: few writes, bounded memory.
constexpr std::size_t WriteChunkSize = FileBlockSize;
// The same through a buffer that a batch keeps from file to file: each write call
// costs more than moving its bytes (a journalled file system updates the file's
// size and times once per call), so a whole file of a few MiB goes in one.
constexpr std::size_t KeptWriteChunkSize = 4 * 1024 * 1024;

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

// The table index a colour is written with: the first entry equal to it, else
// the nearest entry by squared distance with ties to the lowest index; 0 with no
// entries. The table's colours stand in a hash of their own, built once with
// each colour's first index, and again in a sparser one that holds a colour and
// its index in one word. That one is sized by the number of colours and hashed
// with the first of a few multipliers under which no two colours share a word,
// so that a pixel of the table costs a hash and one compare and never takes
// the slow path; where none is found, colours that share a word are looked up
// in the first hash. Other colours are searched once each and remembered in a
// small direct-mapped cache.
class TColorIndexer {
public:
    explicit TColorIndexer(const std::vector<std::uint32_t>& colors) : colors_(colors)
    {
        std::array<std::uint32_t, 256> distinct;  // each colour once, with its first index
        std::size_t count = 0;
        for (std::size_t i = 0; i < std::min<std::size_t>(colors.size(), 256); ++i) {
            std::size_t at = ExactSlot(colors[i]);
            while (exact_[at].Color != Unused && exact_[at].Color != colors[i]) at = (at + 1) & (ExactSlots - 1);
            if (exact_[at].Color == Unused) {
                exact_[at] = Slot{colors[i], std::uint8_t(i)};
                distinct[count++] = colors[i] | std::uint32_t(i) << 24;
            }
        }
        ChooseFirstProbe({distinct.data(), count});
        // Colour 0 probes slot 0 first, so it cannot match anywhere else.
        firstProbe_.assign(std::size_t(1) << (32 - shift_), 0);
        firstProbe_[0] = ColorHashedElsewhere(0);
        // Where colours share a word, one of them keeps it and the others are
        // found in the first hash.
        for (const std::uint32_t word : std::span(distinct.data(), count))
            firstProbe_[FirstProbeSlot(word & 0xFFFFFF)] = word;
    }

    std::uint8_t IndexOf(std::uint32_t color)
    {
        const std::uint32_t word = firstProbe_[FirstProbeSlot(color)];
        if ((word & 0xFFFFFF) == color) return std::uint8_t(word >> 24);
        return IndexBeyondFirstProbe(color);
    }

    // The index of each of `width` pixels.
    void IndexRow(const std::uint32_t* pixels, std::size_t width, std::uint8_t* indices)
    {
        std::size_t x = 0;
#ifdef TALVERN_INDEX_GATHERS
        if (HasGathers()) x = IndexRowByGathers(pixels, width, indices);
#endif
        for (; x < width; ++x) indices[x] = IndexOf(pixels[x] & 0xFFFFFF);
    }

private:
    static constexpr std::size_t ExactSlots = 1024;  // four times the largest table
    // The first-probe table has at least a quarter of the square of the number
    // of colours in slots (64 KiB for 256): then a multiplier keeps colours
    // drawn at random apart at least one time in eight, and one of the first
    // 64 almost surely does.
    static constexpr int MinFirstProbeBits = 6;
    static constexpr int MaxFirstProbeBits = 14;
    static constexpr int Multipliers = 64;
    static constexpr int NearestBits = 12;
    static constexpr std::uint32_t Unused = 0xFFFFFFFF;  // no colour has its top byte set
    static constexpr std::uint32_t HashFactor = 2654435761u;
    struct Slot {
        std::uint32_t Color = Unused;
        std::uint8_t Index = 0;
    };

    // Odd multipliers, the first the one the other hashes use.
    static std::uint32_t Multiplier(int k)
    {
        if (k == 0) return HashFactor;
        std::uint64_t z = std::uint64_t(k) * 0x9E3779B97F4A7C15u;
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
        return std::uint32_t((z ^ (z >> 27)) >> 32) | 1;
    }

    void ChooseFirstProbe(std::span<const std::uint32_t> distinct)
    {
        int bits = MinFirstProbeBits;
        while (bits < MaxFirstProbeBits && (std::size_t(1) << bits) * 4 < distinct.size() * distinct.size()) ++bits;
        shift_ = 32 - bits;
        std::vector<std::uint64_t> taken(std::size_t(1) << (bits - 6));
        for (int k = 0; k < Multipliers; ++k) {
            multiplier_ = Multiplier(k);
            std::fill(taken.begin(), taken.end(), 0);
            bool apart = true;
            for (const std::uint32_t word : distinct) {
                const std::size_t at = FirstProbeSlot(word & 0xFFFFFF);
                const std::uint64_t bit = std::uint64_t(1) << (at & 63);
                if (taken[at >> 6] & bit) {
                    apart = false;
                    break;
                }
                taken[at >> 6] |= bit;
            }
            if (apart) {
                apart_ = true;
                return;
            }
        }
        multiplier_ = HashFactor;
    }

    static std::size_t ExactSlot(std::uint32_t color) { return (color * HashFactor) >> 22; }
    std::size_t FirstProbeSlot(std::uint32_t color) const { return (color * multiplier_) >> shift_; }

    // A colour whose first probe is another slot: no colour that probes `at`
    // first equals it.
    std::uint32_t ColorHashedElsewhere(std::size_t at) const
    {
        std::uint32_t color = 0;
        while (FirstProbeSlot(color) == at) ++color;
        return color;
    }

    std::uint8_t IndexBeyondFirstProbe(std::uint32_t color)
    {
        // With the colours apart, one that misses its first probe is not in the
        // table. At most 256 colours in 1024 slots: a probe seldom goes past its first.
        for (std::size_t at = ExactSlot(color); !apart_; at = (at + 1) & (ExactSlots - 1)) {
            const Slot slot = exact_[at];
            if (slot.Color == color) return slot.Index;
            if (slot.Color == Unused) break;
        }
        if (nearest_.empty()) nearest_.resize(std::size_t(1) << NearestBits);
        Slot& slot = nearest_[(color * HashFactor) >> (32 - NearestBits)];
        if (slot.Color != color) {
            slot.Color = color;
            slot.Index = Nearest(color);
        }
        return slot.Index;
    }

    // For a colour that is not in the table.
    std::uint8_t Nearest(std::uint32_t color) const
    {
        std::uint8_t best = 0;
        int bestDistance = std::numeric_limits<int>::max();
        for (std::size_t i = 0; i < colors_.size(); ++i) {
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

#ifdef TALVERN_INDEX_GATHERS
    static bool HasGathers()
    {
        static const bool has = __builtin_cpu_supports("avx2");
        return has;
    }

    // Eight pixels a step: eight hashes, one gather of their slots' words and one
    // compare; only a pixel that misses its first probe is looked up on its own.
    // Returns where it stopped.
    __attribute__((target("avx2"))) std::size_t IndexRowByGathers(const std::uint32_t* pixels, std::size_t width,
                                                                  std::uint8_t* indices)
    {
        const __m256i low24 = _mm256_set1_epi32(0xFFFFFF);
        const __m256i factor = _mm256_set1_epi32(int(multiplier_));
        const __m128i shift = _mm_cvtsi32_si128(shift_);
        const int* words = reinterpret_cast<const int*>(firstProbe_.data());
        std::size_t x = 0;
        for (; x + 8 <= width; x += 8) {
            const __m256i color =
                _mm256_and_si256(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(pixels + x)), low24);
            const __m256i slot = _mm256_srl_epi32(_mm256_mullo_epi32(color, factor), shift);
            const __m256i word = _mm256_i32gather_epi32(words, slot, 4);
            const __m256i index = _mm256_srli_epi32(word, 24);
            const __m128i halves =
                _mm_packus_epi32(_mm256_castsi256_si128(index), _mm256_extracti128_si256(index, 1));
            _mm_storel_epi64(reinterpret_cast<__m128i*>(indices + x), _mm_packus_epi16(halves, halves));
            const __m256i hit = _mm256_cmpeq_epi32(_mm256_and_si256(word, low24), color);
            for (unsigned miss = ~unsigned(_mm256_movemask_ps(_mm256_castsi256_ps(hit))) & 0xFF; miss; miss &= miss - 1) {
                const std::size_t k = x + std::size_t(__builtin_ctz(miss));
                indices[k] = IndexBeyondFirstProbe(pixels[k] & 0xFFFFFF);
            }
        }
        return x;
    }
#endif

    const std::vector<std::uint32_t>& colors_;
    std::array<Slot, ExactSlots> exact_{};
    std::uint32_t multiplier_ = HashFactor;
    int shift_ = 32 - MaxFirstProbeBits;
    bool apart_ = false;  // no two colours share a first probe
    std::vector<std::uint32_t> firstProbe_;
    std::vector<Slot> nearest_;  // made for the first colour outside the table
};

// Colour of a pixel, as blue | green << 8 | red << 16 like a colour entry.
std::uint32_t PixelColor(std::uint32_t pixel)
{
    return pixel & 0xFFFFFF;
}

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

// A 16-bit pixel from each channel's top bits, put where its mask says: the
// inverse of the decoder's widening, so that every 16-bit source pixel comes
// back as it was read. A channel of more than eight bits gets the eight in its
// top bits.
class TSixteenBitPacker {
public:
    explicit TSixteenBitPacker(const TColorMasks& masks)
    {
        Fill(red_, masks.Red);
        Fill(green_, masks.Green);
        Fill(blue_, masks.Blue);
    }

    void Pack(const std::uint32_t* pixels, std::size_t width, std::uint8_t* row) const
    {
        for (std::size_t x = 0; x < width; ++x) {
            const std::uint32_t p = pixels[x];
            Put16(row + 2 * x, red_[(p >> 16) & 0xFF] | green_[(p >> 8) & 0xFF] | blue_[p & 0xFF]);
        }
    }

private:
    static void Fill(std::array<std::uint16_t, 256>& table, std::uint32_t mask)
    {
        table.fill(0);
        if (mask == 0) return;
        const int shift = std::countr_zero(mask);
        const int width = std::bit_width(mask >> shift);
        for (std::uint32_t c = 0; c < 256; ++c) {
            const std::uint32_t value = width <= 8 ? c >> (8 - width) : c << (width - 8);
            table[c] = std::uint16_t((value << shift) & mask);
        }
    }

    std::array<std::uint16_t, 256> red_, green_, blue_;
};

// One output row of `rowSize` bytes, padding included, from one picture row
// (`pixels`, left to right); `indexer` for the indexed depths.
void PackRow(const std::uint32_t* pixels, std::size_t width, const TBmpWriteFormat& format, TColorIndexer* indexer,
             const TSixteenBitPacker* packer, std::uint8_t* row, std::size_t rowSize)
{
    std::size_t used = 0;
    switch (format.Depth) {
    case 1:
        PackIndexed<1>(pixels, width, *indexer, row);
        used = (width + 7) / 8;
        break;
    case 2:
        PackIndexed<2>(pixels, width, *indexer, row);
        used = (width + 3) / 4;
        break;
    case 4:
        PackIndexed<4>(pixels, width, *indexer, row);
        used = (width + 1) / 2;
        break;
    case 8:
        indexer->IndexRow(pixels, width, row);
        used = width;
        break;
    case 16:
        packer->Pack(pixels, width, row);
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

int BmpDepthOf(TPixelFormat format)
{
    switch (format) {
    case pf1bit: return 1;
    case pf4bit: return 4;
    case pf8bit: return 8;
    case pf15bit:
    case pf16bit: return 16;
    case pf32bit: return 32;
    default: return 24;
    }
}

TColorMasks SixteenBitMasks(const TPixelView& pixels)
{
    return pixels.Format == pf16bit ? pixels.Masks16 : kMasks555;
}

std::vector<std::uint32_t> BmpTableColors(const TLogPalette& palette, std::size_t limit)
{
    const std::size_t n = std::min({limit, std::size_t(palette.palNumEntries), std::size_t(TLogPalette::MaxEntries)});
    std::vector<std::uint32_t> colors(n);
    for (std::size_t i = 0; i < n; ++i) {
        const TPaletteEntry& e = palette.palPalEntry[i];
        colors[i] = e.peBlue | std::uint32_t(e.peGreen) << 8 | std::uint32_t(e.peRed) << 16;
    }
    return colors;
}

std::uint64_t BmpRowSize(int width, int depth)
{
    return (std::uint64_t(std::max(width, 0)) * std::uint64_t(std::max(depth, 0)) + 31) / 32 * 4;
}

void PutBmpInfo(std::uint8_t* out, int width, int height, const TBmpWriteFormat& format)
{
    std::memset(out, 0, BmpInfoHeaderSize);
    Put32(out, BmpInfoHeaderSize);
    Put32(out + 4, std::uint32_t(width));
    Put32(out + 8, std::uint32_t(height));  // positive: bottom row first
    Put16(out + 12, 1);
    Put16(out + 14, std::uint32_t(format.Depth) & 0xFFFF);
    Put32(out + 16, format.MaskBytes() != 0 ? BmpBitFields : 0);
    Put32(out + 20, std::uint32_t(std::uint64_t(std::max(height, 0)) * BmpRowSize(width, format.Depth)));
    Put32(out + 32, format.ColorsUsed);
    std::uint8_t* behind = out + BmpInfoHeaderSize;
    if (format.MaskBytes() != 0) {
        Put32(behind, format.Masks.Red);
        Put32(behind + 4, format.Masks.Green);
        Put32(behind + 8, format.Masks.Blue);
    }
    for (std::size_t i = 0; i < format.Colors.size(); ++i) Put32(behind + 4 * i, format.Colors[i]);
}

namespace {

// The file of a width x height picture whose rows `fillRow(y, out)` writes, each
// into a row's bytes.
template <class FillRow>
void WriteBmpThrough(TStream& stream, int width, int height, bool empty, const TBmpWriteFormat& format,
                     TByteBuffer& buffer, std::size_t chunkSize, FillRow fillRow)
{
    const int rows = empty ? 0 : height;
    const std::size_t headers = format.DataOffset();
    const std::size_t row = std::size_t(BmpRowSize(width, format.Depth));
    const std::uint64_t fileSize = headers + std::uint64_t(row) * std::uint64_t(rows);

    // The headers and then the rows, packed straight from the picture's own
    // rows, go through one buffer of a bounded size, written when full: a few
    // large writes instead of one per row, and memory that does not grow with
    // the picture. Every byte of it is written before it is sent.
    const std::size_t rowsPerChunk =
        row == 0 ? 1 : std::clamp<std::size_t>(chunkSize / row, 1, std::size_t(std::max(rows, 1)));
    const std::size_t capacity = headers + rowsPerChunk * row;  // a small file goes in one write
    std::uint8_t* const chunk = buffer.Reserve(capacity);
    std::memset(chunk, 0, BmpFileHeaderSize);
    Put16(chunk, BitmapFileType);
    Put32(chunk + 2, std::uint32_t(fileSize));
    Put32(chunk + 10, std::uint32_t(headers));
    PutBmpInfo(chunk + BmpFileHeaderSize, width, height, format);
    std::size_t filled = headers;
    for (int y = rows - 1; y >= 0; --y) {  // bottom row first
        if (filled + row > capacity) {
            stream.WriteBuffer(chunk, std::int64_t(filled));
            filled = 0;
        }
        fillRow(y, chunk + filled);
        filled += row;
    }
    stream.WriteBuffer(chunk, std::int64_t(filled));
}

void WritePixels(TStream& stream, const TPixelView& pixels, const TBmpWriteFormat& format, TByteBuffer& buffer,
                 std::size_t chunkSize)
{
    std::optional<TColorIndexer> indexer;  // for the indexed depths
    if (format.Depth <= 8) indexer.emplace(format.Colors);
    std::optional<TSixteenBitPacker> packer;
    if (format.Depth == 16) packer.emplace(format.Masks);
    const std::size_t row = std::size_t(BmpRowSize(pixels.Width, format.Depth));
    WriteBmpThrough(stream, pixels.Width, pixels.Height, pixels.Empty(), format, buffer, chunkSize,
                    [&](int y, std::uint8_t* out) {
                        PackRow(pixels.Row(y), std::size_t(pixels.Width), format, indexer ? &*indexer : nullptr,
                                packer ? &*packer : nullptr, out, row);
                    });
}

}  // namespace

void WriteBmp(TStream& stream, const TPixelView& pixels, const TBmpWriteFormat& format)
{
    TByteBuffer buffer;
    WritePixels(stream, pixels, format, buffer, WriteChunkSize);
}

// A kept buffer may grow larger than a fresh one: its memory is paid for once.
void WriteBmp(TStream& stream, const TPixelView& pixels, const TBmpWriteFormat& format, TByteBuffer& buffer)
{
    WritePixels(stream, pixels, format, buffer, KeptWriteChunkSize);
}

void WriteBmp(TStream& stream, const TTripleView& triples, TPoint at, int width, int height, TByteBuffer& buffer)
{
    const TBmpWriteFormat format;  // 24 bits
    const std::size_t row = std::size_t(BmpRowSize(width, format.Depth));
    // The columns of a row that the triples cover, in bytes.
    const int left = std::clamp(at.X, 0, width), right = std::clamp(at.X + triples.Width, 0, width);
    const std::size_t from = std::size_t(left) * 3, to = std::size_t(right) * 3;
    WriteBmpThrough(stream, width, height, width <= 0 || height <= 0, format, buffer, KeptWriteChunkSize,
                    [&](int y, std::uint8_t* out) {
                        const int source = y - at.Y;
                        if (source < 0 || source >= triples.Height) {
                            std::memset(out, 0, row);
                            return;
                        }
                        std::memset(out, 0, from);
                        std::memcpy(out + from, triples.Row(source) + (left - at.X) * 3, to - from);
                        std::memset(out + to, 0, row - to);
                    });
}
