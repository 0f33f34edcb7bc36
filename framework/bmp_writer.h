#pragma once
// Writing a bitmap as an uncompressed BMP file: the headers, the colour table
// and the rows packed from the bitmap's own pixels, bottom row first. The one
// writer behind the bitmap's own saving and the image components' chosen-depth
// saving; what differs between them (depth, table, header fields) comes in the
// format.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "framework/bitmap.h"
#include "framework/byte_buffer.h"

class TStream;
struct TLogPalette;

constexpr std::size_t BmpFileHeaderSize = 14;
constexpr std::size_t BmpInfoHeaderSize = 40;  // BITMAPINFOHEADER
constexpr std::uint32_t BmpBitFields = 3;      // compression: colour masks behind the header

struct TBmpWriteFormat {
    int Depth = 24;  // 1, 2, 4 and 8 index the table; 16, 24 and 32 are direct colour
    // Depth 16: the bit fields of the pixels. 5-5-5 is written plain, any other
    // with its masks behind the header (BI_BITFIELDS).
    TColorMasks Masks = kMasks555;
    // The colour table of indexed depths, entries as blue | green << 8 | red << 16;
    // at most 256.
    std::vector<std::uint32_t> Colors;
    // The header's colours-used field: callers differ in what a full table says.
    std::uint32_t ColorsUsed = 0;

    std::size_t MaskBytes() const { return Depth == 16 && Masks != kMasks555 ? 12 : 0; }
    // Bytes from the file's start to the pixel data.
    std::size_t DataOffset() const { return BmpFileHeaderSize + BmpInfoHeaderSize + MaskBytes() + 4 * Colors.size(); }
};

// The depth a bitmap of this format is written at by its own saving: 1, 4, 8,
// 16 for both 16-bit formats, 32, and 24 for the rest.
int BmpDepthOf(TPixelFormat format);

// The bit fields 16-bit pixels in view are written with: a pf16bit source's own,
// else 5-5-5.
TColorMasks SixteenBitMasks(const TPixelView& pixels);

// The first entries of a palette, at most `limit`, as colour table entries.
std::vector<std::uint32_t> BmpTableColors(const TLogPalette& palette, std::size_t limit);

// Bytes per row: depth bits a pixel, padded to a multiple of 4.
std::uint64_t BmpRowSize(int width, int depth);

// The info header, then the masks or colour table, as they stand in the file:
// DataOffset() - BmpFileHeaderSize bytes at `out`. The image size field is
// height × row size, cut to 32 bits.
void PutBmpInfo(std::uint8_t* out, int width, int height, const TBmpWriteFormat& format);

// Writes the whole file (file header, info, pixels) of the pixels in view; an
// empty view gives the headers alone. Raises what the stream raises.
void WriteBmp(TStream& stream, const TPixelView& pixels, const TBmpWriteFormat& format);
// The same through memory the caller keeps from file to file: the writer then
// takes nothing from the heap and writes a file of up to a few MiB in one call.
void WriteBmp(TStream& stream, const TPixelView& pixels, const TBmpWriteFormat& format, TByteBuffer& buffer);
// A 24-bit file of width x height pixels from rows of triples whose top-left
// one lies at `at` in it, as they stand; what they do not cover is black.
void WriteBmp(TStream& stream, const TTripleView& triples, TPoint at, int width, int height, TByteBuffer& buffer);
