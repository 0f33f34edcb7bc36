#include "gif/gif_lzw.h"

#include <algorithm>
#include <cstring>

#include "framework/exceptions.h"
#include "framework/streams.h"

void RaiseInvalidGif()
{
    throw EInvalidGraphic("GIFイメージが不正です");
}

namespace {

// Up to count bytes: a stream may hand out fewer per read than asked for.
std::int64_t ReadUpTo(TStream& stream, void* buffer, std::int64_t count)
{
    auto* out = static_cast<std::uint8_t*>(buffer);
    std::int64_t done = 0;
    while (done < count) {
        const std::int64_t n = stream.Read(out + done, count - done);
        if (n <= 0) break;
        done += n;
    }
    return done;
}

}  // namespace

bool TryReadGifBytes(TStream& stream, void* buffer, std::int64_t count)
{
    return ReadUpTo(stream, buffer, count) == count;
}

void ReadGifBytes(TStream& stream, void* buffer, std::int64_t count)
{
    if (count > 0 && ReadUpTo(stream, buffer, count) != count) RaiseInvalidGif();
}

std::uint8_t ReadGifByte(TStream& stream)
{
    std::uint8_t value = 0;
    ReadGifBytes(stream, &value, 1);
    return value;
}

int ReadGifSubBlock(TStream& stream, std::uint8_t* buffer)
{
    const int length = ReadGifByte(stream);
    ReadGifBytes(stream, buffer, length);
    return length;
}

void SkipGifSubBlocks(TStream& stream, std::uint8_t* buffer)
{
    while (ReadGifSubBlock(stream, buffer) != 0) {
    }
}

namespace {

std::uint64_t Load64(const std::uint8_t* p)
{
    std::uint64_t v;
    std::memcpy(&v, p, 8);
    return v;
}

void Store64(std::uint8_t* p, std::uint64_t v)
{
    std::memcpy(p, &v, 8);
}

// Longest string the table can hold, and the overhang of a chunk's last store.
constexpr std::size_t MaxStringLength = kxGifLzw::TableSize;
constexpr std::size_t PixelSlack = MaxStringLength + 2 * kxGifLzw::ChunkBytes;
// The next sub-block is fetched while this many bytes are still unread: early
// enough that a stream which ends there is known before any code from the
// bytes the window would have taken with the missing ones.
constexpr std::ptrdiff_t ReadAhead = 16;

}  // namespace

kxGifLzw::kxGifLzw() : table_(std::make_unique_for_overwrite<Entry[]>(TableSize)) {}

void kxGifLzw::Start(TStream& stream, std::uint8_t* block, int minimumCodeSize, std::uint8_t* row, int width,
                     kxGifRowSink& sink)
{
    if (minimumCodeSize > MaxMinimumCodeSize) RaiseInvalidGif();
    stream_ = &stream;
    block_ = block;
    sink_ = &sink;
    row_ = row;
    copyRows_ = row != nullptr;
    width_ = width;
    column_ = 0;
    frameDone_ = false;
    minimumCodeSize_ = minimumCodeSize;
    // Room for the previous row, the current one and a string past it, twice
    // over, so that the rows are moved back to the start only now and then.
    const std::size_t span = std::size_t(std::max(width, 0));
    const std::size_t needed = 3 * span + 2 * PixelSlack;
    if (pixelsSize_ < needed) {
        pixels_ = std::make_unique_for_overwrite<std::uint8_t[]>(needed);
        pixelsSize_ = needed;
    }
    // Before the first row completes, the row to the right of an incomplete one
    // holds zeros.
    std::memset(pixels_.get(), 0, span);
    rowStart_ = span;
    window_ = 0;
    bits_ = 0;
    in_ = inEnd_ = data_;
    dataBefore_ = 0;
    terminatorRead_ = false;
    streamEnded_ = false;
    failBit_ = 0;
    FetchData();
    // The window takes the first four data bytes at once: a stream that ends
    // before them fails here.
    if (streamEnded_ && failBit_ < 0) RaiseInvalidGif();
    ClearCodeTable();
}

void kxGifLzw::FetchData()
{
    while (inEnd_ - in_ < ReadAhead && !terminatorRead_ && !streamEnded_) {
        const std::size_t kept = std::size_t(inEnd_ - in_);
        dataBefore_ += in_ - data_;
        std::memmove(data_, in_, kept);
        in_ = data_;
        inEnd_ = data_ + kept;
        std::uint8_t length = 0;
        if (!TryReadGifBytes(*stream_, &length, 1) || !TryReadGifBytes(*stream_, data_ + kept, length)) {
            // The codes that lie wholly in the bytes before the missing ones still
            // decode; the error comes with the first code taken after the 16-bit
            // step of the window that would have brought in the missing byte.
            streamEnded_ = true;
            const std::int64_t total = dataBefore_ + std::int64_t(kept);
            failBit_ = total >= 4 ? 16 * ((total - 2) / 2) : -1;
        } else if (length == 0) {
            terminatorRead_ = true;
        } else {
            inEnd_ += length;
        }
    }
}

void kxGifLzw::ClearCodeTable()
{
    codeSize_ = minimumCodeSize_ + 1;
    clearCode_ = 1 << minimumCodeSize_;
    nextFree_ = clearCode_ + 2;
    codeMask_ = (1u << codeSize_) - 1;
    Entry* const table = table_.get();
    for (int i = 0; i < clearCode_; ++i) table[i] = Entry{std::uint64_t(i & 0xFF), -1, 1, std::uint8_t(i)};
}

void kxGifLzw::Extend(Entry& added, const Entry& prefix, int prefixCode, std::uint8_t suffix)
{
    const unsigned used = prefix.length & 7u;  // bytes in the prefix's last chunk, 0 when it is full
    if (used == 0) {
        added.tail = suffix;
        added.back = std::int16_t(prefixCode);
    } else {
        added.tail = prefix.tail | std::uint64_t(suffix) << (8 * used);
        added.back = prefix.back;
    }
    added.length = std::uint16_t(prefix.length + 1);
    added.first = prefix.first;
}

void kxGifLzw::SetCodeTable(int prefix, std::uint8_t suffix)
{
    if (nextFree_ >= TableSize || prefix < 0) return;
    if (prefix >= nextFree_) RaiseInvalidGif();
    Entry* const table = table_.get();
    Extend(table[nextFree_], table[prefix], prefix, suffix);
    ++nextFree_;
    if (nextFree_ >= (1 << codeSize_) && codeSize_ < 12) {
        ++codeSize_;
        codeMask_ = (1u << codeSize_) - 1;
    }
}

namespace {

// The walk: the last chunk first (its store may run up to 7 bytes past the
// string's end), then whole chunks back to the string's start.
template <class Entry>
void PutString(const Entry* table, std::uint8_t* dest, const Entry& e)
{
    std::uint8_t* p = dest + ((e.length - 1u) & ~7u);
    Store64(p, e.tail);
    for (int c = e.back; c >= 0; c = table[c].back) {
        p -= 8;
        Store64(p, table[c].tail);
    }
}

}  // namespace

std::uint8_t kxGifLzw::WriteCodeTable(int code)
{
    const Entry& e = table_[std::size_t(code)];
    PutString(table_.get(), pixels_.get() + rowStart_ + column_, e);
    column_ += e.length;
    if (column_ >= width_) FlushRows();
    SyncRow();
    return e.first;
}

void kxGifLzw::FlushRows()
{
    if (width_ <= 0) {
        // No row to fill: nothing is kept.
        column_ = 0;
        return;
    }
    const std::size_t width = std::size_t(width_);
    std::uint8_t* const pixels = pixels_.get();
    std::size_t start = rowStart_;
    int column = column_;
    while (column >= width_) {
        completedRow_ = pixels + start;
        if (copyRows_) std::memcpy(row_, completedRow_, width);
        if (!frameDone_ && !sink_->RowComplete()) frameDone_ = true;
        start += width;
        column -= width_;
    }
    if (start + width + PixelSlack > pixelsSize_) {
        // Back to the start, the last completed row in front of the current one.
        std::memmove(pixels, pixels + start - width, width + std::size_t(column));
        start = width;
    }
    rowStart_ = start;
    column_ = column;
}

void kxGifLzw::SyncRow()
{
    if (width_ <= 0) return;
    std::uint8_t* current = pixels_.get() + rowStart_;
    completedRow_ = current;
    if (copyRows_) {
        if (column_ > 0) std::memcpy(row_, current, std::size_t(column_));
    } else {
        const std::size_t rest = std::size_t(width_ - column_);
        std::memcpy(current + column_, current - width_ + column_, rest);
    }
}

void kxGifLzw::Fail(int column)
{
    column_ = column;
    SyncRow();
    RaiseInvalidGif();
}

void kxGifLzw::SkipToTerminator()
{
    in_ = inEnd_ = data_;
    bits_ = 0;
    if (streamEnded_) RaiseInvalidGif();
    if (!terminatorRead_) {
        SkipGifSubBlocks(*stream_, block_);
        terminatorRead_ = true;
    }
}

void kxGifLzw::Decode()
{
    // The hot state lives in locals, which the pixel stores cannot alias; it goes
    // back to the members around every call out.
    Entry* const table = table_.get();
    std::uint8_t* pixels = pixels_.get() + rowStart_;
    const int width = width_;
    const int clearCode = clearCode_;
    const int endCode = clearCode + 1;
    const int firstFree = clearCode + 2;
    const int resetSize = minimumCodeSize_ + 1;
    std::uint64_t window = window_;
    int bits = bits_;
    const std::uint8_t* in = in_;
    const std::uint8_t* inEnd = inEnd_;
    bool checkFail = streamEnded_;
    int codeSize = codeSize_;
    std::uint32_t mask = codeMask_;
    int nextFree = nextFree_;
    int column = column_;
    int previous = -1;
    // Entries are added below addLimit: none right after a clear code. The code
    // size grows when the next free code reaches growAt.
    int addLimit = 0;
    auto growLimit = [](int size) { return size < 12 ? 1 << size : TableSize + 1; };
    int growAt = growLimit(codeSize);
    bool done = frameDone_;
    while (!done) {
        if (bits < codeSize) {
            if (inEnd - in >= ReadAhead) {
                window |= Load64(in) << bits;
                in += (63 - bits) >> 3;
                bits |= 56;
            } else {
                window_ = window;
                bits_ = bits;
                in_ = in;
                FetchData();
                if (inEnd_ - in_ >= 8) {
                    window_ |= Load64(in_) << bits_;
                    in_ += (63 - bits_) >> 3;
                    bits_ |= 56;
                } else {
                    // The last bytes of the data, one at a time.
                    while (bits_ <= 56 && in_ < inEnd_) {
                        window_ |= std::uint64_t(*in_++) << bits_;
                        bits_ += 8;
                    }
                }
                window = window_;
                bits = bits_;
                in = in_;
                inEnd = inEnd_;
                checkFail = streamEnded_;
            }
        }
        if (checkFail) {
            const std::int64_t position = 8 * (dataBefore_ + (in - data_)) - bits;
            if (position >= failBit_) Fail(column);
        }
        // A code that does not lie wholly inside the data (the bits after the
        // last data byte are not part of the image) is dropped.
        if (bits < codeSize) break;
        const int code = int(window & mask);
        window >>= codeSize;
        bits -= codeSize;

        if (unsigned(code - clearCode) <= 1u) {
            if (code == endCode) break;
            // The roots are never overwritten within an image.
            codeSize = resetSize;
            mask = (1u << codeSize) - 1;
            growAt = growLimit(codeSize);
            nextFree = firstFree;
            addLimit = 0;
            previous = -1;
            continue;
        }
        // The code's string, and the first pixel that the new entry adds to the
        // previous string.
        const Entry* e;
        std::uint8_t suffix;
        if (code < nextFree) {
            e = &table[code];
            suffix = e->first;
        } else {
            // Right after a clear code there is no previous string to extend.
            if (previous < 0) Fail(column);
            if (code != nextFree) {
                // The previous string and its first pixel are written, then the
                // code is rejected.
                const Entry& p = table[previous];
                PutString(table, pixels + column, p);
                column += p.length;
                if (column >= width) {
                    column_ = column;
                    FlushRows();
                    column = column_;
                    pixels = pixels_.get() + rowStart_;
                }
                pixels[column++] = p.first;
                if (column >= width) {
                    column_ = column;
                    FlushRows();
                    column = column_;
                    pixels = pixels_.get() + rowStart_;
                }
                Fail(column);
            }
            // The string-plus-first-pixel case: the entry about to be added (the
            // table cannot be full here) is the code's own string.
            suffix = table[previous].first;
            e = &table[nextFree];
        }
        if (nextFree < addLimit) {
            Extend(table[nextFree], table[previous], previous, suffix);
            ++nextFree;
            if (nextFree >= growAt) {
                ++codeSize;
                mask = (1u << codeSize) - 1;
                growAt = growLimit(codeSize);
            }
        }
        PutString(table, pixels + column, *e);
        column += e->length;
        if (column >= width) {
            column_ = column;
            FlushRows();
            column = column_;
            pixels = pixels_.get() + rowStart_;
            done = frameDone_;
        }
        previous = code;
        addLimit = TableSize;
    }
    window_ = window;
    bits_ = bits;
    in_ = in;
    codeSize_ = codeSize;
    codeMask_ = mask;
    nextFree_ = nextFree;
    column_ = column;
    SyncRow();
    SkipToTerminator();
}
