// The GIF decoder's LZW half on arbitrary bytes, against a plain reference
// decoder written here (one bit at a time, strings walked back one byte at a
// time). Byte 0: the minimum code size (low four bits, modulo 13, so that 12 is
// refused) and, in bit 4, the code table's own entry points instead of
// decoding; bytes 1-2: the row width (0 to 1024); byte 3: the rows the sink
// wants (0: as many as 2^16 pixels). The rest is the image data's sub-blocks,
// decoded twice: from memory into the decoder's rows, and through a stream of
// a few bytes per read with a copy into the caller's row. Both must fail
// alike, hand the sink the same rows and end on the same row, and a decode
// succeeds exactly when the reference meets no bad code and the sub-blocks end
// in their terminator. Then the rows are the reference's. Table mode: the rest
// is steps of three bytes that add entries and write strings, checked the same
// way.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "framework/exceptions.h"
#include "framework/streams.h"
#include "fuzz/trickle_stream.h"
#include "gif/gif_lzw.h"

namespace {

constexpr std::size_t PixelCap = 1 << 16;

class Reference {
public:
    explicit Reference(int minimumCodeSize) : clear_(1 << minimumCodeSize), resetSize_(minimumCodeSize + 1)
    {
        for (int i = 0; i < clear_; ++i) table_[std::size_t(i)] = {-1, std::uint8_t(i), std::uint8_t(i), 1};
        Clear();
    }
    void Clear()
    {
        codeSize = resetSize_;
        next = clear_ + 2;
    }
    // A full table takes no more entries.
    void Add(int prefix, std::uint8_t suffix)
    {
        if (next >= kxGifLzw::TableSize) return;
        const Entry& p = table_[std::size_t(prefix)];
        table_[std::size_t(next++)] = {prefix, suffix, p.first, p.length + 1};
        if (next >= (1 << codeSize) && codeSize < 12) ++codeSize;
    }
    std::uint8_t First(int code) const { return table_[std::size_t(code)].first; }
    void Write(int code, bool keep)
    {
        const int length = table_[std::size_t(code)].length;
        total += std::size_t(length);
        if (!keep) return;
        pixels.resize(pixels.size() + std::size_t(length));
        for (int c = code, at = int(pixels.size()) - 1; c >= 0; c = table_[std::size_t(c)].prefix)
            pixels[std::size_t(at--)] = table_[std::size_t(c)].suffix;
    }
    // A code that names a string: a root or an entry added since the last clear.
    int Pick(unsigned value) const
    {
        const int index = int(value % unsigned(next - 2));
        return index < clear_ ? index : index + 2;
    }
    int ClearCode() const { return clear_; }

    int codeSize = 0;
    int next = 0;
    std::size_t total = 0;
    std::vector<std::uint8_t> pixels;

private:
    struct Entry {
        int prefix;
        std::uint8_t suffix, first;
        int length;
    };
    int clear_, resetSize_;
    Entry table_[kxGifLzw::TableSize];
};

struct Expected {
    std::vector<std::uint8_t> pixels;
    std::size_t total = 0;
    bool decodes = false;
};

// The reference decoding, stopped where the decoder stops: at the end code, at
// a code the data does not hold whole, or once stopAt pixels are out.
Expected ReferenceDecode(const std::uint8_t* data, std::size_t size, int minimumCodeSize, std::size_t stopAt,
                         bool keep)
{
    Expected out;
    std::vector<std::uint8_t> bytes;
    bool terminated = false;
    for (std::size_t at = 0; at < size;) {
        const std::size_t n = data[at++];
        if (n == 0) {
            terminated = true;
            break;
        }
        if (n > size - at) break;
        bytes.insert(bytes.end(), data + at, data + at + n);
        at += n;
    }
    if (minimumCodeSize > kxGifLzw::MaxMinimumCodeSize) return out;
    Reference r(minimumCodeSize);
    const std::size_t bitCount = bytes.size() * 8;
    std::size_t bit = 0;
    int previous = -1;
    bool bad = false;
    while (r.total < stopAt && bit + std::size_t(r.codeSize) <= bitCount) {
        int code = 0;
        for (int i = 0; i < r.codeSize; ++i, ++bit) code |= (bytes[bit / 8] >> (bit % 8) & 1) << i;
        if (code == r.ClearCode()) {
            r.Clear();
            previous = -1;
            continue;
        }
        if (code == r.ClearCode() + 1) break;
        if (code > r.next || (code == r.next && previous < 0)) {
            bad = true;
            break;
        }
        const std::uint8_t suffix = r.First(code < r.next ? code : previous);
        if (previous >= 0) r.Add(previous, suffix);
        r.Write(code, keep);
        previous = code;
    }
    out.pixels = std::move(r.pixels);
    out.total = r.total;
    out.decodes = terminated && !bad;
    return out;
}

class Rows final : public kxGifRowSink {
public:
    Rows(const kxGifLzw& lzw, const std::vector<std::uint8_t>* copy, int width, std::size_t wanted)
        : lzw_(lzw), copy_(copy), width_(std::size_t(width)), wanted_(wanted)
    {
    }
    bool RowComplete() override
    {
        const std::uint8_t* row = lzw_.Row();
        if (copy_ && std::memcmp(copy_->data(), row, width_) != 0) std::abort();
        pixels.insert(pixels.end(), row, row + width_);
        return ++rows_ < wanted_;
    }
    std::vector<std::uint8_t> pixels;

private:
    const kxGifLzw& lzw_;
    const std::vector<std::uint8_t>* copy_;
    std::size_t width_, wanted_, rows_ = 0;
};

struct Outcome {
    bool started = false, failed = false;
    int column = 0;
    std::vector<std::uint8_t> rows, lastRow;
};

Outcome Decode(TStream& stream, int minimumCodeSize, int width, std::size_t wanted, bool copy)
{
    Outcome out;
    kxGifLzw lzw;
    std::vector<std::uint8_t> block(255), row(static_cast<std::size_t>(width));
    Rows rows(lzw, copy ? &row : nullptr, width, wanted);
    try {
        lzw.Start(stream, block.data(), minimumCodeSize, copy ? row.data() : nullptr, width, rows);
        out.started = true;
        lzw.Decode();
    } catch (const EInvalidGraphic&) {
        out.failed = true;
    }
    out.column = lzw.Column();
    out.rows = std::move(rows.pixels);
    if (out.started && width > 0) out.lastRow = copy ? row : std::vector<std::uint8_t>(lzw.Row(), lzw.Row() + width);
    return out;
}

// The decoder's row after its last string: the incomplete row, then the last
// completed row's pixels (zeros before the first).
std::vector<std::uint8_t> LastRow(const std::vector<std::uint8_t>& pixels, std::size_t total, int width)
{
    const std::size_t w = std::size_t(width), full = total / w, partial = total % w;
    std::vector<std::uint8_t> row(w, 0);
    if (full > 0) std::copy_n(pixels.begin() + std::ptrdiff_t((full - 1) * w), w, row.begin());
    std::copy_n(pixels.begin() + std::ptrdiff_t(full * w), partial, row.begin());
    return row;
}

// Whether a decode that ended without a fault left what the reference's pixels
// say: the completed rows (no more than wanted), the incomplete row's column and
// the decoder's row.
bool EndsAsReference(const std::vector<std::uint8_t>& rows, int column, const std::vector<std::uint8_t>& lastRow,
                     const std::vector<std::uint8_t>& pixels, std::size_t total, int width, std::size_t wanted)
{
    const std::size_t w = std::size_t(width), full = std::min(total / w, wanted);
    return rows.size() == full * w && std::equal(rows.begin(), rows.end(), pixels.begin()) &&
           std::size_t(column) == total % w && lastRow == LastRow(pixels, total, width);
}

void CheckDecoding(const std::uint8_t* data, std::size_t size, int minimumCodeSize, int width, std::size_t wanted)
{
    TCustomMemoryStream memory(data, std::int64_t(size));
    TrickleStream trickle(data, std::int64_t(size), 3);
    const Outcome a = Decode(memory, minimumCodeSize, width, wanted, false);
    const Outcome b = Decode(trickle, minimumCodeSize, width, wanted, true);
    if (a.started != b.started || a.failed != b.failed || a.rows != b.rows || a.column != b.column ||
        a.lastRow != b.lastRow)
        std::abort();

    const std::size_t stopAt = width > 0 ? wanted * std::size_t(width) : SIZE_MAX;
    const Expected e = ReferenceDecode(data, size, minimumCodeSize, stopAt, width > 0);
    if (a.failed == e.decodes) std::abort();
    const std::size_t common = std::min(a.rows.size(), e.pixels.size());
    if (!std::equal(a.rows.begin(), a.rows.begin() + std::ptrdiff_t(common), e.pixels.begin())) std::abort();
    if (a.failed || width == 0) return;
    if (!EndsAsReference(a.rows, a.column, a.lastRow, e.pixels, e.total, width, wanted)) std::abort();
}

// The table's entry points: steps of (value low, value high, kind); kind's low
// two bits: 0 or 1 write a string, 2 adds an entry (suffix: kind's other bits), 3
// adds one with a prefix that names no string yet, which must be refused while
// the table has room.
void CheckTable(const std::uint8_t* data, std::size_t size, int minimumCodeSize, int width)
{
    const std::uint8_t terminator = 0;
    TCustomMemoryStream empty(&terminator, 1);
    std::vector<std::uint8_t> block(255), row(static_cast<std::size_t>(width));
    kxGifLzw lzw;
    Rows rows(lzw, &row, width, SIZE_MAX);
    lzw.Start(empty, block.data(), minimumCodeSize, row.data(), width, rows);
    Reference r(minimumCodeSize);
    for (std::size_t at = 0; at + 3 <= size && r.total <= PixelCap; at += 3) {
        const unsigned value = data[at] | unsigned(data[at + 1]) << 8;
        const int kind = data[at + 2] & 3;
        if (kind <= 1) {
            const int code = r.Pick(value);
            if (lzw.WriteCodeTable(code) != r.First(code)) std::abort();
            r.Write(code, true);
        } else if (kind == 2) {
            const int prefix = r.Pick(value);
            lzw.SetCodeTable(prefix, std::uint8_t(data[at + 2] >> 2));
            r.Add(prefix, std::uint8_t(data[at + 2] >> 2));
        } else {
            bool refused = false;
            try {
                lzw.SetCodeTable(r.next + int(value % 2), 0);
            } catch (const EInvalidGraphic&) {
                refused = true;
            }
            if (refused != (r.next < kxGifLzw::TableSize)) std::abort();
        }
        if (lzw.NextFreeCode() != r.next || lzw.CodeSize() != r.codeSize) std::abort();
    }
    if (width > 0 && !EndsAsReference(rows.pixels, lzw.Column(), row, r.pixels, r.total, width, SIZE_MAX))
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 4) return 0;
    const int minimumCodeSize = (data[0] & 15) % 13;
    const int width = (data[1] | data[2] << 8) % 1025;
    const std::size_t cap = width > 0 ? std::max<std::size_t>(PixelCap / std::size_t(width), 1) : 1;
    const std::size_t wanted = data[3] ? std::min<std::size_t>(data[3], cap) : cap;
    if (data[0] & 16) {
        if (minimumCodeSize <= kxGifLzw::MaxMinimumCodeSize) CheckTable(data + 4, size - 4, minimumCodeSize, width);
    } else {
        CheckDecoding(data + 4, size - 4, minimumCodeSize, width, wanted);
    }
    return 0;
}
