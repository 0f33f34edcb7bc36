#pragma once
// The BMP file operations of the image components: reading a file's colour depth
// and colour table, palettes from DIB header blocks, and writing a bitmap at a
// chosen depth with a given palette.
#include <array>
#include <cstdint>
#include <string>

#include "framework/palette.h"
#include "framework/rect.h"

class TBitmap;
class TByteBuffer;
class TStream;
struct TPixelView;
struct TTripleView;

// 40-byte info header followed by room for 256 four-byte colour entries (an
// OS/2 12-byte header is followed by 3-byte entries instead).
using TBitmapHeaderBlock = std::array<std::uint8_t, 40 + 256 * 4>;

struct TBitmapHeaderInfo {
    int ColorDepth = 0;     // 0 when unknown
    PaletteHandle Palette;  // for depths of 8 or less, owned by the caller
};

// Raises the file error when the file cannot be opened; a file that is not a BMP
// file, or has another header form, gives depth 0 and no palette.
TBitmapHeaderInfo ReadBitmapHeader(const std::string& fileName);
// The same from a stream standing at the file's first byte (left moved).
TBitmapHeaderInfo ReadBitmapHeader(TStream& stream);

// A palette from a header block (40- or 12-byte info header and its colour
// table), or none above 8 bits and for other header forms. `blockSize` bounds
// what may be read.
PaletteHandle MakeDIBPalette(const std::uint8_t* block, std::size_t blockSize);

// Fills the block with the info header and colour table for writing `bitmap` at
// `depth` (at depth 16 from a 5-6-5 source, its three masks instead); returns the
// colour count, or -1 when the bitmap holds no image.
int MakeSaveInfo(TBitmapHeaderBlock& block, const TBitmap& bitmap, int depth, const TLogPalette* palette);

// Writes `bitmap` as a BMP file at `depth` (0: the bitmap's own format). Depth
// 16 keeps the source's packing that the pixel format records: 5-6-5 with masks
// for pf16bit, else plain 5-5-5. True when the file was written; never raises. An existing file is replaced only
// when the whole new file was written.
bool SaveBitmapFile(const std::string& fileName, const TBitmap& bitmap, int depth, const TLogPalette* palette);
// The same for the pixels in view (a part of a bitmap) at a depth of 1, 2, 4,
// 8, 16, 24 or 32 (their source's packing at 16).
bool SaveBitmapFile(const std::string& fileName, const TPixelView& pixels, int depth, const TLogPalette* palette);
// The same through memory the caller keeps from file to file.
bool SaveBitmapFile(const std::string& fileName, const TPixelView& pixels, int depth, const TLogPalette* palette,
                    TByteBuffer& buffer);
// A 24-bit file of width x height pixels from a 24-bit file's own rows, whose
// top-left triple lies at `at` in it; what they do not cover is black.
bool SaveBitmapFile(const std::string& fileName, const TTripleView& triples, TPoint at, int width, int height,
                    TByteBuffer& buffer);
