#include "external/dib_file_stream.h"

#include <algorithm>
#include <cstring>

#include "framework/dib_layout.h"
#include "image/bmp_file.h"

// The info part goes into the file image as the header describes it (OS/2, 40
// bytes with or without masks, V4, V5), with two repairs: a colour count above
// 256 keeps the full table of a depth of 8 bits or less and no table above that
// (the count written as 0 either way), and a size of 0 for uncompressed pixels
// is the size the header's dimensions need.

namespace {

constexpr std::uint32_t kFileHeaderSize = 14;
constexpr std::size_t kMaxTableEntries = 256;

void PutU16(std::uint8_t* p, std::uint16_t v)
{
    p[0] = std::uint8_t(v);
    p[1] = std::uint8_t(v >> 8);
}

void PutU32(std::uint8_t* p, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i) p[i] = std::uint8_t(v >> (8 * i));
}

}  // namespace

bool TDibFileStream::Open(const std::uint8_t* info, std::size_t infoBytes, const std::uint8_t* bits,
                          std::size_t bitsBytes)
{
    Close();
    const std::optional<TDibLayout> dib = MeasureDib(info, infoBytes);
    if (!dib || !bits || dib->ImageSize > bitsBytes) return false;

    const std::uint32_t entrySize = dib->HeaderSize == 12 ? 3 : 4;
    std::uint32_t tableSize = dib->TableSize;
    const bool oversizedTable = tableSize / entrySize > kMaxTableEntries;
    if (oversizedTable) tableSize = dib->BitCount <= 8 ? (std::uint32_t{1} << dib->BitCount) * entrySize : 0;
    const std::uint32_t infoSize = dib->HeaderSize + dib->MaskSize + tableSize;

    header_.assign(kFileHeaderSize + infoSize, 0);
    std::memcpy(header_.data() + kFileHeaderSize, info, infoSize);
    if (oversizedTable) PutU32(header_.data() + kFileHeaderSize + 32, 0);
    if (dib->HeaderSize > 12) PutU32(header_.data() + kFileHeaderSize + 20, dib->ImageSize);

    bits_ = bits;
    bitsSize_ = dib->ImageSize;
    std::uint8_t* file = header_.data();
    PutU16(file, 0x4D42);
    PutU32(file + 2, HeaderSize() + bitsSize_);
    PutU32(file + 10, HeaderSize());
    // Two pieces, so no one block of memory is advertised (Memory() stays null):
    // readers go through Read.
    SetPointer(nullptr, 0);
    size_ = std::int64_t(HeaderSize()) + bitsSize_;
    return true;
}

void TDibFileStream::Close()
{
    SetPointer(nullptr, 0);
    header_.clear();
    bits_ = nullptr;
    bitsSize_ = 0;
}

std::int64_t TDibFileStream::Read(void* buffer, std::int64_t count)
{
    if (count <= 0 || position_ < 0) return 0;
    auto* out = static_cast<std::uint8_t*>(buffer);
    std::int64_t done = 0;
    const std::int64_t headerSize = HeaderSize();
    if (position_ < headerSize) {
        const std::int64_t n = std::min(count, headerSize - position_);
        std::memcpy(out, header_.data() + position_, std::size_t(n));
        position_ += n;
        done += n;
        count -= n;
    }
    if (count > 0) {
        const std::int64_t offset = position_ - headerSize;
        const std::int64_t n = std::min(count, std::int64_t(bitsSize_) - offset);
        if (n > 0) {
            std::memcpy(out + done, bits_ + offset, std::size_t(n));
            position_ += n;
            done += n;
        }
    }
    return done;
}

std::int64_t TDibFileStream::Write(const void*, std::int64_t)
{
    return 0;
}

PaletteHandle TDibFileStream::MakePalette() const
{
    if (header_.size() <= kFileHeaderSize) return nullptr;
    return MakeDIBPalette(header_.data() + kFileHeaderSize, header_.size() - kFileHeaderSize);
}
