#include "framework/streams.h"

#include <algorithm>
#include <cstring>

#include "framework/exceptions.h"

std::int64_t TStream::Size()
{
    const std::int64_t here = Seek(0, soCurrent);
    const std::int64_t end = Seek(0, soEnd);
    Seek(here, soBeginning);
    return end;
}

void TStream::ReadBuffer(void* buffer, std::int64_t count)
{
    if (count != 0 && Read(buffer, count) != count) throw EReadError("ストリーム読み込みエラー");
}

void TStream::WriteBuffer(const void* buffer, std::int64_t count)
{
    if (count != 0 && Write(buffer, count) != count) throw EWriteError("ストリーム書き込みエラー");
}

void TCustomMemoryStream::SetPointer(const void* memory, std::int64_t size)
{
    memory_ = static_cast<const std::uint8_t*>(memory);
    size_ = memory ? std::max<std::int64_t>(size, 0) : 0;
    position_ = 0;
}

std::int64_t TCustomMemoryStream::Read(void* buffer, std::int64_t count)
{
    if (count <= 0 || position_ >= size_) return 0;
    const std::int64_t n = std::min(count, size_ - position_);
    std::memcpy(buffer, memory_ + position_, static_cast<std::size_t>(n));
    position_ += n;
    return n;
}

std::int64_t TCustomMemoryStream::Write(const void*, std::int64_t)
{
    return 0;
}

std::int64_t TCustomMemoryStream::Seek(std::int64_t offset, TSeekOrigin origin)
{
    std::int64_t base = origin == soBeginning ? 0 : origin == soCurrent ? position_ : size_;
    position_ = std::max<std::int64_t>(0, base + offset);
    return position_;
}

TMemoryStream::TMemoryStream(std::vector<std::uint8_t> bytes) : bytes_(std::move(bytes))
{
    Sync();
}

void TMemoryStream::Sync()
{
    const std::int64_t position = position_;
    SetPointer(bytes_.data(), static_cast<std::int64_t>(bytes_.size()));
    position_ = position;
}

std::int64_t TMemoryStream::Write(const void* buffer, std::int64_t count)
{
    if (count <= 0) return 0;
    const auto end = static_cast<std::size_t>(position_ + count);
    if (end > bytes_.size()) bytes_.resize(end);
    std::memcpy(bytes_.data() + position_, buffer, static_cast<std::size_t>(count));
    const std::int64_t position = position_ + count;
    Sync();
    position_ = position;
    return count;
}

void TMemoryStream::Clear()
{
    bytes_.clear();
    SetPointer(nullptr, 0);
}
