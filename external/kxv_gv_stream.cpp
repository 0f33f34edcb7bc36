#include "external/kxv_gv_stream.h"

#include <algorithm>
#include <cstring>

#include "framework/dib_layout.h"
#include "framework/exceptions.h"

namespace {

void PutU32(std::uint8_t* p, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i) p[i] = std::uint8_t(value >> (8 * i));
}

}  // namespace

// The stream has no memory of its own to expose (Memory() is null): its bytes
// are split between the file header here and the block, and Read joins them.
kxvGVStream::kxvGVStream(const std::uint8_t* dib, std::size_t dibBytes) : Dib(dib)
{
    const std::optional<TDibLayout> layout = MeasureDib(dib, dibBytes);
    if (!layout || std::uint64_t(layout->InfoSize()) + layout->ImageSize > dibBytes)
        throw EReadError("ストリーム読み込みエラー");
    BitCount = layout->BitCount;
    HeaderLength = FileHeaderSize + layout->InfoSize();
    const std::uint64_t total = std::uint64_t(HeaderLength) + layout->ImageSize;
    if (total > UINT32_MAX) throw EReadError("ストリーム読み込みエラー");

    fileHeader_[0] = 'B';
    fileHeader_[1] = 'M';
    PutU32(&fileHeader_[2], std::uint32_t(total));
    PutU32(&fileHeader_[10], HeaderLength);
    memory_ = nullptr;
    size_ = std::int64_t(total);
    position_ = 0;
}

std::int64_t kxvGVStream::Read(void* buffer, std::int64_t count)
{
    if (count <= 0 || position_ >= size_) return 0;
    auto* out = static_cast<std::uint8_t*>(buffer);
    std::int64_t copied = 0;
    if (position_ < FileHeaderSize) {
        const std::int64_t n = std::min<std::int64_t>(count, FileHeaderSize - position_);
        std::memcpy(out, fileHeader_.data() + position_, std::size_t(n));
        copied = n;
    }
    const std::int64_t rest = std::min(count - copied, size_ - (position_ + copied));
    if (rest > 0) {
        std::memcpy(out + copied, Dib + (position_ + copied - FileHeaderSize), std::size_t(rest));
        copied += rest;
    }
    position_ += copied;
    return copied;
}

std::int64_t kxvGVStream::Write(const void*, std::int64_t)
{
    return 0;
}
