#pragma once
// The parts of a DIB (info header, bit-field masks, colour table, pixel bits) as
// its header describes them, checked against the bytes that really hold them.
// Outside decoders hand DIBs over in blocks whose sizes they report themselves;
// nothing here reads beyond the sizes given.
#include <cstddef>
#include <cstdint>
#include <optional>

struct TDibLayout {
    std::uint32_t HeaderSize = 0;  // 12 (OS/2), 40, 52, 56, 108, 124
    std::uint32_t MaskSize = 0;    // masks that follow a 40-byte header
    std::uint32_t TableSize = 0;   // colour table bytes
    std::uint32_t ImageSize = 0;   // pixel bytes; computed when the header says 0
    std::int32_t Width = 0;
    std::int32_t Height = 0;       // negative: top-down rows
    std::uint16_t BitCount = 0;
    std::uint32_t Compression = 0;

    // Header, masks and colour table: the bytes before the pixel bits.
    std::uint32_t InfoSize() const { return HeaderSize + MaskSize + TableSize; }
};

// Measures the DIB whose info block (header, masks, colour table) has
// `infoBytes` readable bytes at `info`. Empty when the header is of no known
// form or its fields are out of range, or when the header, masks and table do
// not fit in `infoBytes`. The pixel bits are checked by the caller against
// ImageSize (a packed DIB: InfoSize() + ImageSize <= the block's size).
std::optional<TDibLayout> MeasureDib(const std::uint8_t* info, std::size_t infoBytes);
