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

TBufferedReadStream::TBufferedReadStream(TStream& source, std::size_t bufferSize)
    : source_(source),
      buffer_(new std::uint8_t[std::max<std::size_t>(bufferSize, 1)]),
      capacity_(std::max<std::size_t>(bufferSize, 1)),
      bufferStart_(source.Position())
{
}

std::int64_t TBufferedReadStream::Read(void* buffer, std::int64_t count)
{
    auto* out = static_cast<std::uint8_t*>(buffer);
    std::int64_t done = 0;
    while (done < count) {
        if (at_ < filled_) {
            const std::size_t n = std::size_t(std::min<std::int64_t>(count - done, std::int64_t(filled_ - at_)));
            std::memcpy(out + done, buffer_.get() + at_, n);
            at_ += n;
            done += std::int64_t(n);
            continue;
        }
        bufferStart_ += std::int64_t(filled_);
        filled_ = at_ = 0;
        if (std::uint64_t(count - done) >= capacity_) {
            const std::int64_t got = source_.Read(out + done, count - done);
            if (got <= 0) break;
            bufferStart_ += got;
            done += got;
            continue;
        }
        const std::int64_t got = source_.Read(buffer_.get(), std::int64_t(capacity_));
        if (got <= 0) break;
        filled_ = std::size_t(got);
    }
    return done;
}

std::int64_t TBufferedReadStream::Seek(std::int64_t offset, TSeekOrigin origin)
{
    const std::int64_t target = origin == soBeginning ? offset
                                : origin == soCurrent ? bufferStart_ + std::int64_t(at_) + offset
                                                      : source_.Size() + offset;
    if (target >= bufferStart_ && target <= bufferStart_ + std::int64_t(filled_)) {
        at_ = std::size_t(target - bufferStart_);
    } else {
        bufferStart_ = source_.Seek(target, soBeginning);
        filled_ = at_ = 0;
    }
    return bufferStart_ + std::int64_t(at_);
}
