#include "gif/gif_lzw.h"

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

kxGifLzw::kxGifLzw() : table_(std::make_unique_for_overwrite<Entry[]>(TableSize)) {}

void kxGifLzw::Start(TStream& stream, std::uint8_t* block, int minimumCodeSize, std::uint8_t* row, int width,
                     kxGifRowSink& sink)
{
    if (minimumCodeSize > MaxMinimumCodeSize) RaiseInvalidGif();
    stream_ = &stream;
    block_ = block;
    sink_ = &sink;
    row_ = row;
    width_ = width;
    column_ = 0;
    frameDone_ = false;
    minimumCodeSize_ = minimumCodeSize;
    subBlockLength_ = 0;
    readPosition_ = 0;
    endOfData_ = 0;
    // The first four data bytes fill the window, the first in bits 0 to 7.
    window_ = 0;
    validBits_ = 0;
    for (int i = 0; i < 4; ++i) {
        bool real = false;
        window_ |= NextDataByte(real) << (8 * i);
        if (real) validBits_ += 8;
    }
    bitPosition_ = 0;
    ClearCodeTable();
}

std::uint32_t kxGifLzw::NextDataByte(bool& real)
{
    if (readPosition_ >= subBlockLength_) {
        // After the terminator nothing more belongs to the image.
        if (endOfData_ != 0) {
            real = false;
            return 0;
        }
        subBlockLength_ = ReadGifSubBlock(*stream_, block_);
        readPosition_ = 0;
        if (subBlockLength_ == 0) {
            endOfData_ = 1;
            real = false;
            return 0;
        }
    }
    real = true;
    return block_[readPosition_++];
}

void kxGifLzw::Refill()
{
    window_ >>= 16;
    validBits_ -= 16;
    if (readPosition_ + 2 <= subBlockLength_) {
        window_ |= (std::uint32_t(block_[readPosition_]) << 16) | (std::uint32_t(block_[readPosition_ + 1]) << 24);
        readPosition_ += 2;
        validBits_ += 16;
    } else {
        bool real = false;
        window_ |= NextDataByte(real) << 16;
        if (real) validBits_ += 8;
        window_ |= NextDataByte(real) << 24;
        if (real) validBits_ += 8;
    }
    bitPosition_ -= 16;
}

bool kxGifLzw::HasCode()
{
    if (bitPosition_ >= 16) Refill();
    return bitPosition_ + codeSize_ <= validBits_;
}

int kxGifLzw::GetCode()
{
    if (bitPosition_ >= 16) Refill();
    const int code = int((window_ >> bitPosition_) & codeMask_);
    bitPosition_ += codeSize_;
    return code;
}

void kxGifLzw::ClearCodeTable()
{
    codeSize_ = minimumCodeSize_ + 1;
    clearCode_ = 1 << minimumCodeSize_;
    nextFree_ = clearCode_ + 2;
    codeMask_ = (1u << codeSize_) - 1;
    for (int i = 0; i < clearCode_; ++i) {
        table_[i].prefix = -1;
        table_[i].suffix = std::uint8_t(i);
    }
}

void kxGifLzw::SetCodeTable(int prefix, std::uint8_t suffix)
{
    if (nextFree_ >= TableSize || prefix < 0) return;
    if (prefix >= nextFree_) RaiseInvalidGif();
    table_[nextFree_].prefix = std::int16_t(prefix);
    table_[nextFree_].suffix = suffix;
    ++nextFree_;
    if (nextFree_ >= (1 << codeSize_) && codeSize_ < 12) {
        ++codeSize_;
        codeMask_ = (1u << codeSize_) - 1;
    }
}

std::uint8_t kxGifLzw::WriteCodeTable(int code)
{
    Entry* const table = table_.get();
    if (code < clearCode_ && column_ + 1 < width_) {
        // A root is its own one-pixel string.
        row_[column_++] = table[code].suffix;
        return table[code].suffix;
    }
    // Walk back to the root, leaving in each entry a link to the entry visited
    // before it: the links then lead forward from the root to the code.
    int length = 1;
    int next = -1;
    int c = code;
    for (;;) {
        Entry& e = table[c];
        e.link = std::int16_t(next);
        if (e.prefix < 0) break;
        next = c;
        c = e.prefix;
        ++length;
    }
    const std::uint8_t first = table[c].suffix;
    int column = column_;
    if (column + length < width_) {
        // The whole string fits before the row's end.
        std::uint8_t* out = row_ + column;
        for (; c >= 0; c = table[c].link) *out++ = table[c].suffix;
        column_ = column + length;
        return first;
    }
    if (width_ <= 0) return first;
    for (; c >= 0; c = table[c].link) {
        row_[column++] = table[c].suffix;
        if (column == width_) {
            column = 0;
            column_ = 0;
            if (!frameDone_ && !sink_->RowComplete()) frameDone_ = true;
        }
    }
    column_ = column;
    return first;
}

void kxGifLzw::SkipToTerminator()
{
    if (endOfData_ == 0) {
        SkipGifSubBlocks(*stream_, block_);
        endOfData_ = 1;
    }
    subBlockLength_ = 0;
    readPosition_ = 0;
}

void kxGifLzw::Decode()
{
    const int endCode = clearCode_ + 1;
    int previous = -1;
    // A code that does not lie wholly inside the data (the bits after the last
    // data byte are not part of the image) is dropped.
    while (!frameDone_ && HasCode()) {
        const int code = GetCode();
        if (code == clearCode_) {
            ClearCodeTable();
            previous = -1;
            continue;
        }
        if (code == endCode) break;
        if (code < nextFree_) {
            const std::uint8_t first = WriteCodeTable(code);
            SetCodeTable(previous, first);
        } else {
            // Right after a clear code there is no previous string to extend.
            if (previous < 0) RaiseInvalidGif();
            const std::uint8_t first = WriteCodeTable(previous);
            WriteCodeTable(first);
            if (code != nextFree_) RaiseInvalidGif();
            SetCodeTable(previous, first);
        }
        previous = code;
    }
    SkipToTerminator();
}
