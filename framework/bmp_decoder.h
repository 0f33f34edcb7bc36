#pragma once
// The picture object's own BMP decoder: every header form (OS/2 12-byte, 40-byte,
// V4 and V5), 1, 2, 4, 8, 16, 24 and 32 bits per pixel, RLE4 and RLE8, bit-field
// masks, bottom-up and top-down rows. Nothing from the data is trusted: malformed
// input raises EInvalidGraphic, too large a picture EOutOfResources.
#include <cstdint>
#include <memory>

#include "framework/bitmap.h"

class TStream;

struct TDecodedBmp {
    int Width = 0;
    int Height = 0;
    TPixelFormat Format = pf24bit;
    TColorMasks Masks16 = kMasks565;  // pf16bit: the file's bit fields
    PaletteHandle Palette;            // for 8 bits or less
    std::unique_ptr<PixelBuffer> Pixels;
};

// The info header sizes read here: 12 (OS/2 1.x), 16 and 64 (OS/2 2.x), 40, 52,
// 56, 108 (V4) and 124 (V5).
bool IsBmpInfoHeaderSize(std::uint32_t size);

// Reads a BMP file image ("BM" file header first) from the stream's position.
// Pixel memory of the picture's size that the caller no longer needs is decoded
// into instead of new memory; memory of another size is freed first.
TDecodedBmp DecodeBmpFile(TStream& stream, std::unique_ptr<PixelBuffer> reusable = nullptr);
