#pragma once
// The picture object's own BMP decoder: every header form (OS/2 12-byte, 40-byte,
// V4 and V5), 1, 2, 4, 8, 16, 24 and 32 bits per pixel, RLE4 and RLE8, bit-field
// masks, bottom-up and top-down rows. Nothing from the data is trusted: malformed
// input raises EInvalidGraphic, too large a picture EOutOfResources.
#include <cstdint>
#include <memory>

#include "framework/bitmap.h"
#include "framework/rect.h"

class TByteBuffer;
class TStream;

struct TDecodedBmp {
    int Width = 0;
    int Height = 0;
    TPoint Origin;  // where the decoded part's top-left pixel lies in the picture
    TPixelFormat Format = pf24bit;
    TColorMasks Masks16 = kMasks565;  // pf16bit: the file's bit fields
    PaletteHandle Palette;            // for 8 bits or less
    std::unique_ptr<PixelBuffer> Pixels;
    TTripleView Triples;  // instead of Pixels, where the caller asked for a 24-bit file's own rows
};

// The info header sizes read here: 12 (OS/2 1.x), 16 and 64 (OS/2 2.x), 40, 52,
// 56, 108 (V4) and 124 (V5).
bool IsBmpInfoHeaderSize(std::uint32_t size);

// Reads a BMP file image ("BM" file header first) from the stream's position.
// Pixel memory of the picture's size that the caller no longer needs is decoded
// into instead of new memory; memory of another size is freed first.
TDecodedBmp DecodeBmpFile(TStream& stream, std::unique_ptr<PixelBuffer> reusable = nullptr);

// The same for the part of the picture inside `region` (pixels, rows counted
// from the top), clipped to the picture; a region outside it gives no pixels.
// The file is checked as a whole load checks it, but only the region's rows are
// read: uncompressed rows by seeking to them, a few rows (or, where the region
// takes a small part of long rows, its columns) per read through `rows`, memory
// the caller keeps; RLE data from the start up to the region's last row, the
// rows above it left unread.
TDecodedBmp DecodeBmpFile(TStream& stream, const TRect& region, TByteBuffer& rows,
                          std::unique_ptr<PixelBuffer> reusable = nullptr);

// The same, except that the part of a 24-bit uncompressed file is not widened
// to pixels: Triples shows its rows as the file stores them, in `rows` after
// one read of their span, or gathered into `gathered` where they take several;
// Pixels stays empty. Every other file decodes as above.
TDecodedBmp DecodeBmpFile(TStream& stream, const TRect& region, TByteBuffer& rows, TByteBuffer& gathered,
                          std::unique_ptr<PixelBuffer> reusable = nullptr);
