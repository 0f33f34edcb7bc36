#pragma once
// A DIB handed over in two blocks (info header with masks and colour table; pixel
// bits) presented as a BMP file image: a file header and the info part in a small
// buffer of the stream's own, followed by the pixel bits read in place, so that a
// bitmap can load itself from it without the pixels being copied first.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "framework/palette.h"
#include "framework/streams.h"

class TDibFileStream : public TCustomMemoryStream {
public:
    // Measures the info block against `infoBytes` and the pixel bits against
    // `bitsBytes`; false (and an empty stream) when either block is smaller than
    // the header says. Neither block is copied past the header buffer; both must
    // stay readable until Close().
    bool Open(const std::uint8_t* info, std::size_t infoBytes, const std::uint8_t* bits, std::size_t bitsBytes);
    void Close();

    std::int64_t Read(void* buffer, std::int64_t count) override;
    std::int64_t Write(const void* buffer, std::int64_t count) override;

    std::uint32_t HeaderSize() const { return static_cast<std::uint32_t>(header_.size()); }
    std::uint32_t BitsSize() const { return bitsSize_; }
    // The colour table of the DIB just opened, for depths of 8 bits or less.
    PaletteHandle MakePalette() const;

private:
    std::vector<std::uint8_t> header_;
    const std::uint8_t* bits_ = nullptr;
    std::uint32_t bitsSize_ = 0;
};
