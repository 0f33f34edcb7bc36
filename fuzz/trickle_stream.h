#pragma once
// A stream over fuzz input that is not a memory stream and hands out at most a
// few bytes per read, so decoders meet short reads and refills.
#include <algorithm>
#include <cstdint>
#include <cstring>

#include "framework/streams.h"

class TrickleStream final : public TStream {
public:
    TrickleStream(const std::uint8_t* data, std::int64_t size, std::int64_t bytesPerRead)
        : data_(data), size_(size), bytesPerRead_(bytesPerRead)
    {
    }
    std::int64_t Read(void* buffer, std::int64_t count) override
    {
        const std::int64_t n = std::min<std::int64_t>({count, bytesPerRead_, size_ - position_});
        if (n <= 0) return 0;
        std::memcpy(buffer, data_ + position_, static_cast<std::size_t>(n));
        position_ += n;
        return n;
    }
    std::int64_t Write(const void*, std::int64_t) override { return 0; }
    std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override
    {
        const std::int64_t base = origin == soBeginning ? 0 : origin == soCurrent ? position_ : size_;
        position_ = std::max<std::int64_t>(0, base + offset);
        return position_;
    }

private:
    const std::uint8_t* data_;
    std::int64_t size_;
    std::int64_t bytesPerRead_;
    std::int64_t position_ = 0;
};
