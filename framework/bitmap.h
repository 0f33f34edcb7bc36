#pragma once
// TBitmap: a raster image kept in memory as 32-bit blue-green-red-unused pixels,
// with the pixel format and optional palette of its source, which only its own
// BMP saving uses.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "framework/palette.h"
#include "framework/pixel_buffer.h"
#include "framework/rect.h"

class TByteBuffer;
class TCanvas;
class TStream;
struct TDecodedBmp;

enum TPixelFormat { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfCustom };

// The red, green and blue bit fields of a 16-bit pixel.
struct TColorMasks {
    std::uint32_t Red = 0;
    std::uint32_t Green = 0;
    std::uint32_t Blue = 0;
    bool operator==(const TColorMasks&) const = default;
};
constexpr TColorMasks kMasks555{0x7C00, 0x03E0, 0x001F};
constexpr TColorMasks kMasks565{0xF800, 0x07E0, 0x001F};

// Rows of 24-bit blue-green-red triples as a BMP file stores them, for reading:
// a crop of such a file is written from them as they stand, never widened to
// pixels. Valid while the memory they lie in is kept.
struct TTripleView {
    const std::uint8_t* Top = nullptr;  // the first row's leftmost triple
    std::ptrdiff_t Stride = 0;          // bytes from one row to the next, negative for rows stored bottom first
    int Width = 0;
    int Height = 0;

    bool Empty() const { return !Top || Width <= 0 || Height <= 0; }
    const std::uint8_t* Row(int y) const { return Top + std::ptrdiff_t(y) * Stride; }
};

// Rows of a rectangle of a bitmap's pixels, for reading; valid while the
// bitmap keeps its image.
struct TPixelView {
    const std::uint32_t* Top = nullptr;  // the first row's leftmost pixel
    std::size_t Stride = 0;              // pixels from one row to the next
    int Width = 0;
    int Height = 0;
    TPixelFormat Format = pfDevice;
    TColorMasks Masks16 = kMasks565;  // the packing of pf16bit pixels

    bool Empty() const { return Width <= 0 || Height <= 0; }
    const std::uint32_t* Row(int y) const { return Top + std::size_t(y) * Stride; }
};

class TBitmap {
public:
    TBitmap();
    ~TBitmap();
    TBitmap(const TBitmap&) = delete;
    TBitmap& operator=(const TBitmap&) = delete;

    int Width() const { return width_; }
    int Height() const { return height_; }
    // Resizing keeps the pixels of the common area; new pixels are black, or
    // left as the memory was for a caller that is about to draw over them all.
    void SetWidth(int width) { SetSize(width, height_); }
    void SetHeight(int height) { SetSize(width_, height); }
    void SetSize(int width, int height, TPixelFill newPixels = TPixelFill::Black);
    bool Empty() const { return width_ <= 0 || height_ <= 0; }

    TPixelFormat PixelFormat = pfDevice;
    // The bit fields a pf16bit source packed its pixels with, which its saving
    // keeps; pf15bit is always 5-5-5.
    TColorMasks Masks16 = kMasks565;
    const TLogPalette* Palette() const { return palette_.get(); }
    void SetPalette(PaletteHandle palette) { palette_ = std::move(palette); }

    TCanvas& Canvas();

    // Row y counted from the top; Width() pixels. Only valid while not Empty().
    std::uint32_t* ScanLine(int y);
    const std::uint32_t* ScanLine(int y) const;
    // The whole image, or the part of it inside `rect`.
    TPixelView View() const { return View(TRect{0, 0, width_, height_}); }
    TPixelView View(const TRect& rect) const;
    // Row `fromBottom` (0 is the bottom row) as Width() blue, green, red triples.
    void ReadRow24(int fromBottom, std::uint8_t* destination) const;

    // Copies size, pixels, format, masks and palette.
    void Assign(const TBitmap& source);
    // Takes over another bitmap's image, leaving it empty.
    void TakeOver(TBitmap& source);

    // Reads a BMP file image; raises EInvalidGraphic and keeps the old image when
    // the data is not a valid bitmap.
    void LoadFromStream(TStream& stream);
    // The same for the part of the picture inside `region` alone (see
    // DecodeBmpFile), its rows read through `rows`; answers where the part's
    // top-left pixel lies in the picture.
    TPoint LoadFromStream(TStream& stream, const TRect& region, TByteBuffer& rows);
    // The same, except that the part of a 24-bit uncompressed file is not
    // decoded: `triples` then shows its rows as the file stores them (in `rows`,
    // or gathered into `gathered`) and the bitmap is left empty. For other files
    // `triples` is empty.
    TPoint LoadFromStream(TStream& stream, const TRect& region, TByteBuffer& rows, TByteBuffer& gathered,
                          TTripleView& triples);
    void LoadFromFile(const std::string& fileName);
    // Writes a BMP file in the bitmap's own format: 1, 4 and 8 bits with its palette
    // (or a default one), 15 bits as 5-5-5, 16 bits with its masks, 32 bits as
    // 32, else 24.
    void SaveToStream(TStream& stream) const;
    void SaveToFile(const std::string& fileName) const;

    // The platform buffer (Win32 code reaches the DIB section through it).
    PixelBuffer* Buffer() { return pixels_.get(); }

private:
    void Take(TDecodedBmp& decoded);

    int width_ = 0;
    int height_ = 0;
    std::unique_ptr<PixelBuffer> pixels_;
    // The memory of the image the last load replaced, for the next load of the
    // same size (a batch of like files then takes no new memory, and on Windows
    // no new DIB section, per file); kept only up to 64 MiB.
    static constexpr std::int64_t MaxSparePixels = std::int64_t{1} << 24;
    std::unique_ptr<PixelBuffer> spare_;
    PaletteHandle palette_;
    std::unique_ptr<TCanvas> canvas_;
};
