#pragma once
// kxvGIF: reads a GIF87a/GIF89a stream and draws it straight onto a caller's
// TBitmap, row by row as the LZW data completes them. Every frame of an animation
// is composed onto the same bitmap in stream order, each followed by its delay
// (waited out while the application processes messages) and its disposal.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/canvas.h"
#include "framework/color.h"
#include "framework/palette.h"
#include "gif/gif_lzw.h"
#include "image/kx_rect.h"

class TBitmap;
class TStream;
class TTimer;


class kxvGIF : private kxGifRowSink {
public:
    kxvGIF();
    virtual ~kxvGIF();
    kxvGIF(const kxvGIF&) = delete;
    kxvGIF& operator=(const kxvGIF&) = delete;

    virtual void LoadFromStream(TStream& stream, TBitmap& bitmap);
    // The part of the picture inside `region` alone, clipped to the picture: the
    // bitmap takes that part's size, and only it is composed, with every frame's
    // disposal and transparency as on the whole picture. The last frame is
    // decoded only down to the region's last row when nothing is drawn after
    // it. Answers where the part's top-left pixel lies in the picture. With
    // KeepSize or a copy mode other than a source copy the whole picture is
    // decoded (at 0, 0).
    TPoint LoadRegionFromStream(TStream& stream, TBitmap& bitmap, const TRect& region);
    virtual void LoadFromFile(const std::string& fileName, TBitmap& bitmap);
    virtual bool IsSupport(TStream& stream);
    virtual bool IsSupport(const std::string& fileName);

    // Settings.
    std::int32_t Enable = 1;
    int OffsetX = 0;
    int OffsetY = 0;
    bool KeepSize = false;
    bool FillBackground = true;
    TCopyMode CopyMode = cmSrcCopy;
    bool Animate = true;
    bool PlainText = true;
    bool UseDelay = true;
    bool Transparent = true;
    TColor TransparentColor = clNone;

    // Events, each fired only when assigned.
    std::function<void(kxvGIF& sender, kxRect* rect)> OnPaint;
    std::function<void(kxvGIF& sender, const char* text)> OnComment;
    // The block: bytes 0 and 1 zero, byte 2 the identifier's length n, bytes 3 to
    // 3 + n - 1 the application identifier and authentication code, then the
    // data sub-blocks' bytes (length of them in all), then a zero byte.
    std::function<void(kxvGIF& sender, const std::uint8_t* block, int length)> OnApplication;
    std::function<bool(kxvGIF& sender)> OnUserInput;

    // From the last stream's header.
    int ScreenWidth = 0;
    int ScreenHeight = 0;
    TColor BackgroundColor = clBlack;
    // Bits per pixel of the source: 1, 4 or 8 for a global colour table of up to
    // 2, 16 or 256 entries; 24 when a frame had a local colour table or the
    // stream no global one.
    int ColorDepth = 0;

    const TLogPalette* Palette() const { return palette_.get(); }
    void SetPalette(PaletteHandle palette) { palette_ = std::move(palette); }

    // Offsets of the graphic control state's fields in the extension's data.
    struct GraphicControl {
        std::uint8_t BlockSize = 0;
        std::uint8_t Packed = 0;
        std::uint16_t DelayTime = 0;
        std::uint8_t TransparentIndex = 0;
        bool IsTransparent() const { return (Packed & 1) != 0; }
        bool WantsUserInput() const { return (Packed & 2) != 0; }
        int Disposal() const { return (Packed >> 2) & 7; }
    };

protected:
    // A logical palette from count rgb triples, or the system palette without them.
    PaletteHandle MakePalette(const std::uint8_t* rgb, int count);
    void OnTimer(TTimer& sender);

private:
    // A one-row DIB: header, optional 256-entry colour table, pixel bytes. Its
    // storage is kept from one graphic to the next and only grows.
    struct RowImage {
        std::unique_ptr<std::uint32_t[]> storage;
        std::size_t capacity = 0;  // 32-bit words
        TDibView view;
        std::uint8_t* bits = nullptr;
    };
    // Lays out a zero-filled one-row DIB in image.
    static void MakeBitmapInfo(RowImage& image, int width, int bytesPerPixel, const TLogPalette* palette);

    void Load(TStream& stream, TBitmap& bitmap, const TRect* region);
    // True when the stream from here (a frame's image data) holds no further
    // drawing up to its trailer; the stream is left where it stood.
    bool NothingDrawnAfter(TStream& stream, std::uint8_t* buffer);
    int LoadSubBlock(TStream& stream, std::uint8_t* buffer);
    void LoadImageDescriptor(TStream& stream, std::uint8_t* buffer);
    void LoadGraphicControlExtension(TStream& stream, std::uint8_t* buffer);
    void LoadPlaneTextExtension(TStream& stream, std::uint8_t* buffer);
    void LoadCommentExtension(TStream& stream, std::uint8_t* buffer);
    void LoadApplicationExtension(TStream& stream, std::uint8_t* buffer);
    void SetTransparentColor(const TLogPalette* palette);
    void SaveBackground();
    void EndRendering();
    void Wait();
    void Dispose();
    void DIBCopy(int count);
    // DIBCopy for a source copy, straight into the bitmap's rows.
    void CopyRows(int count);
    // DIBCopy through the five raster operations, for any other copy mode.
    void CopyRowsWithRasterOperations(int count);
    bool RowComplete() override;

    PaletteHandle palette_;
    TBitmap* bitmap_ = nullptr;
    bool stop_ = false;
    bool timerFired_ = false;
    GraphicControl control_;
    std::unique_ptr<TTimer> timer_;

    // Where the bitmap's top-left pixel lies in the picture, and whether only a
    // region of it is composed.
    TPoint origin_;
    bool region_ = false;

    // The current graphic.
    int left_ = 0;
    int top_ = 0;
    int width_ = 0;
    int height_ = 0;
    int row_ = 0;
    int pass_ = 0;
    // A frame that may end early ends once the frame rows the region needs,
    // neededFirst_ up to neededEnd_, have come; neededLeft_ of them are to come.
    bool stopEarly_ = false;
    int neededFirst_ = 0;
    int neededEnd_ = 0;
    int neededLeft_ = 0;
    bool stoppedEarly_ = false;  // with rows still to come
    bool transparentGraphic_ = false;
    bool sourceCopy_ = true;  // CopyMode was a source copy when the graphic began
    RowImage rowImage_;
    RowImage maskImage_;
    RowImage savedRowImage_;
    std::unique_ptr<TBitmap> savedBackground_;
    TRect savedRect_;

    // Storage of every load, kept from one load to the next.
    kxGifLzw lzw_;
    std::vector<std::uint8_t> blockBuffer_;
    TLogPalette localPalette_;
};
