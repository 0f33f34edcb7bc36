#pragma once
// A small independent reader of the uncompressed BMP files the writer makes, so
// that tests can check the bytes without the picture decoder.
#include <cstdint>
#include <string>
#include <vector>

class TBitmap;

struct TWrittenBmp {
    std::vector<std::uint8_t> Bytes;
    explicit TWrittenBmp(const std::string& path);

    std::uint32_t U16(std::size_t offset) const;
    std::uint32_t U32(std::size_t offset) const;
    std::uint32_t FileSize() const { return U32(2); }
    std::uint32_t DataOffset() const { return U32(10); }
    int Width() const { return int(U32(18)); }
    int Height() const { return int(U32(22)); }
    int Depth() const { return int(U16(28)); }
    std::uint32_t ColorsUsed() const { return U32(46); }
    std::size_t RowSize() const;
    // The colour table between the info header and the pixel data, as 0x00RRGGBB.
    std::vector<std::uint32_t> Table() const;
    // First byte of the row `fromTop` rows below the top (rows are stored bottom first).
    const std::uint8_t* Row(int fromTop) const;
    // The colour-table index or the 0x00RRGGBB colour stored for a pixel.
    std::uint32_t Index(int x, int fromTop) const;
    std::uint32_t Color(int x, int fromTop) const;
};

// Fills a bitmap from rows of 0x00RRGGBB pixels, top row first.
void FillBitmap(TBitmap& bitmap, const std::vector<std::vector<std::uint32_t>>& rows);
