#pragma once
// A BMP file builder for the tests, the fuzz seeds and the sample pictures:
// every header form, field by field, independent of the program's own writer,
// so that the readers are checked against bytes made elsewhere.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

struct BmpLayout {
    // 12: the OS/2 core form. Otherwise the 40-byte form's fields, cut or padded
    // with zeros to this size; from 52 bytes on the header holds the masks.
    std::uint32_t headerSize = 40;
    std::int32_t width = 1;
    std::int32_t height = 1;
    unsigned planes = 1;
    unsigned bitCount = 24;
    std::uint32_t compression = 0;
    std::uint32_t resolution = 0;  // pixels per metre, both directions
    std::uint32_t colorsUsed = 0;
    std::vector<std::uint32_t> masks = {};          // behind a 40-byte header, or inside a V4/V5 one
    std::vector<std::uint32_t> colors = {};         // 0x00RRGGBB; 3-byte entries behind a 12-byte header
    std::vector<std::uint8_t> pixels = {};          // stored rows as they stand in the file
    std::optional<std::uint32_t> pixelOffset = {};  // default: right behind the colour table and gap
    std::size_t gap = 0;                            // bytes of 0xEE between colour table and pixels
};

// The info header with its masks and colour table: a DIB header block.
std::vector<std::uint8_t> BmpInfoBlock(const BmpLayout& layout);
// The whole file: file header, info block, gap and pixels.
std::vector<std::uint8_t> MakeBmp(const BmpLayout& layout);
// Bytes per stored row of `width` pixels at `bits` each.
std::size_t BmpRowBytes(int width, int bits);
