#pragma once
// TCanvas draws on a TBitmap's memory: fills, outlines, rectangle copies with any
// ternary raster operation, stretched drawing and one-row DIB drawing. Only text
// output is a platform call.
#include <cstdint>
#include <string>
#include <vector>

#include "framework/color.h"
#include "framework/rect.h"

class TBitmap;

// Ternary raster operations (the high word's low byte is the truth table).
using TCopyMode = std::uint32_t;
constexpr TCopyMode cmBlackness = 0x00000042;
constexpr TCopyMode cmDstInvert = 0x00550009;
constexpr TCopyMode cmMergeCopy = 0x00C000CA;
constexpr TCopyMode cmMergePaint = 0x00BB0226;
constexpr TCopyMode cmNotSrcCopy = 0x00330008;
constexpr TCopyMode cmNotSrcErase = 0x001100A6;
constexpr TCopyMode cmPatCopy = 0x00F00021;
constexpr TCopyMode cmPatInvert = 0x005A0049;
constexpr TCopyMode cmPatPaint = 0x00FB0A09;
constexpr TCopyMode cmSrcAnd = 0x008800C6;
constexpr TCopyMode cmSrcCopy = 0x00CC0020;
constexpr TCopyMode cmSrcErase = 0x00440328;
constexpr TCopyMode cmSrcInvert = 0x00660046;
constexpr TCopyMode cmSrcPaint = 0x00EE0086;
constexpr TCopyMode cmWhiteness = 0x00FF0062;

// The result of a raster operation on one 32-bit pixel word.
std::uint32_t ApplyRop3(TCopyMode rop, std::uint32_t pattern, std::uint32_t source, std::uint32_t destination);

enum TBrushStyle { bsSolid, bsClear };
enum TPenMode { pmCopy, pmNot, pmXor, pmNotXor };

struct TBrush {
    TColor Color = clWhite;
    TBrushStyle Style = bsSolid;
};

struct TPen {
    TColor Color = clBlack;
    TPenMode Mode = pmCopy;
    int Width = 1;
};

struct TFont {
    std::string Name = "ＭＳ Ｐゴシック";
    int Height = -12;
    TColor Color = clBlack;
    int Charset = 128;  // Shift-JIS
};

// A device-independent bitmap handed over for drawing: a 40-byte info header
// (negative height means top-down rows), a colour table for 8 bits or less, and
// the pixel rows, each padded to 4 bytes.
struct TDibView {
    int Width = 0;
    int Height = 0;        // negative: rows top-down
    int BitCount = 0;      // 1, 4, 8, 24 or 32
    const std::uint32_t* Colors = nullptr;  // blue-green-red-unused entries
    int ColorCount = 0;
    const std::uint8_t* Bits = nullptr;
};

class TCanvas {
public:
    explicit TCanvas(TBitmap& owner) : owner_(owner) {}

    TBrush Brush;
    TPen Pen;
    TFont Font;
    TCopyMode CopyMode = cmSrcCopy;

    TBitmap& Bitmap() { return owner_; }

    TColor Pixel(int x, int y) const;
    void SetPixel(int x, int y, TColor color);

    // Fills with the brush (nothing for bsClear).
    void FillRect(const TRect& rect);
    // Outline with the pen, inside filled with the brush, as the GDI draws a
    // rectangle: the outline covers the rectangle's own border pixels.
    void Rectangle(int left, int top, int right, int bottom);
    void FrameRect(const TRect& rect);
    // The focus outline: every other pixel of the rectangle's border inverted,
    // so drawing it twice takes it away.
    void DrawFocusRect(const TRect& rect);

    // Copies source's rectangle onto dest with CopyMode, stretching (nearest
    // pixel) when the sizes differ. Pixels outside either bitmap are skipped.
    void CopyRect(const TRect& dest, TCanvas& source, const TRect& sourceRect);
    void Draw(int x, int y, TBitmap& bitmap);
    void StretchDraw(const TRect& dest, TBitmap& bitmap);

    // One-rectangle DIB drawing with a raster operation: the source rectangle
    // (x, y, width, height; y counted from the DIB's top) stretched onto dest.
    void StretchDIBits(const TRect& dest, int srcX, int srcY, int srcWidth, int srcHeight, const TDibView& dib,
                       TCopyMode rop);
    // Unstretched, source copy.
    void SetDIBitsToDevice(int x, int y, const TDibView& dib);

    // Text in the canvas font (platform: GDI on Windows, a small bitmap font
    // elsewhere); transparent background.
    void TextOut(int x, int y, const std::string& text);
    int TextWidth(const std::string& text);
    int TextHeight(const std::string& text);

private:
    void FillWithRop(const TRect& rect, std::uint32_t pattern, TCopyMode rop);
    TBitmap& owner_;
    std::vector<std::uint32_t> scratch_;  // one row of converted DIB pixels
};
