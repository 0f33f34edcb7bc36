#pragma once
// kxvGVStream: a packed DIB (info header, masks, colour table and bits in one
// block, as GV hands it over) read as a BMP file image without copying it: a
// 14-byte file header of its own, then the block in place.
#include <array>
#include <cstddef>
#include <cstdint>

#include "framework/streams.h"

class kxvGVStream : public TCustomMemoryStream {
public:
    static constexpr int FileHeaderSize = 14;

    // `dib` has `dibBytes` readable bytes and must outlive the stream. Raises
    // EReadError when the header is of no known form or the block is shorter
    // than its header, masks, colour table and bits claim (a biSizeImage of 0
    // counts as the size the rows take).
    kxvGVStream(const std::uint8_t* dib, std::size_t dibBytes);

    std::int64_t Read(void* buffer, std::int64_t count) override;
    std::int64_t Write(const void* buffer, std::int64_t count) override;

    const std::uint8_t* Dib = nullptr;
    std::int32_t BitCount = 0;
    // Bytes before the pixel bits: the file header, info header, masks, table.
    std::uint32_t HeaderLength = 0;

private:
    std::array<std::uint8_t, FileHeaderSize> fileHeader_{};
};
