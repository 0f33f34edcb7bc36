#pragma once
// kxvImage: the image view. A picture control that draws its picture zoomed to
// fit by a chosen rule, aligned or tiled, over an optional background, then lets
// its owner draw on top (OnPaint). It also loads the picture, remembering the
// colour depth and palette of the source it came from.
#include <cstdint>
#include <functional>
#include <string>

#include "framework/canvas.h"
#include "framework/color.h"
#include "framework/image_control.h"
#include "framework/palette.h"
#include "framework/picture.h"
#include "image/kx_rect.h"

class TByteBuffer;
class TStream;

enum kxvAutoZoom : std::uint8_t { azNone = 0, azSmall = 1, azLarge = 2, azAlways = 3 };

// Bits 0-1: horizontal placement (0 none, 1 left, 2 right, 3 centre); bits 2-3:
// vertical (0 none, 4 top, 8 bottom, 12 centre); bit 4: tiling.
enum kxvAutoAlign : std::uint8_t {
    aaNone = 0,
    aaLeft = 1,
    aaRight = 2,
    aaCenterW = 3,
    aaTop = 4,
    aaTopLeft = 5,
    aaTopRight = 6,
    aaTopCenter = 7,
    aaBottom = 8,
    aaBottomLeft = 9,
    aaBottomRight = 10,
    aaBottomCenter = 11,
    aaCenterH = 12,
    aaCenterLeft = 13,
    aaCenterRight = 14,
    aaCenter = 15,
    aaTile = 16,
};

class kxvImage : public TImage {
public:
    kxvImage();
    ~kxvImage() override;

    kxvAutoAlign AutoAlign() const { return autoAlign_; }
    virtual void SetAutoAlign(kxvAutoAlign value);
    kxvAutoZoom AutoZoom() const { return autoZoom_; }
    // Back to azNone also resets Zoom to 1 and turns Stretch off.
    virtual void SetAutoZoom(kxvAutoZoom value);
    virtual void SetZoom(double value);
    TColor Color() const { return color_; }
    virtual void SetColor(TColor value);

    // Scale from picture pixels to control pixels; painting sets it unless
    // AutoZoom is azNone.
    double Zoom = 1.0;
    // Where the last paint drew the picture, in the control's coordinates.
    kxRect DrawRect;

    // Fired after every paint with the control's canvas.
    std::function<void(kxvImage& sender, TCanvas& canvas)> OnPaint;

    virtual std::string GetFilter();
    void Paint(TCanvas& canvas) override;
    // The two drawing steps of Paint, for the drawn (zoomed) size.
    virtual void PaintAlign(TCanvas& canvas, int width, int height);
    virtual void PaintTile(TCanvas& canvas, int width, int height);

    // Bits per pixel of the source of the current picture (0: unknown) and its
    // colour table; used when the picture, or part of it, is written as BMP.
    int ColorDepth = 0;
    const TLogPalette* Palette() const { return palette_.get(); }
    void SetPalette(PaletteHandle palette);
    void CopyPalette(const TLogPalette* palette);

    // True when the picture now holds the file; every failure gives false and
    // keeps the previous picture.
    virtual bool LoadFromFile(const std::string& fileName);
    // As LoadFromFile, where the reader can for the part of the picture inside
    // `region` (picture pixels) alone, clipped to the picture; PictureOrigin
    // then says where the part lies. The view's own loader reads whole pictures.
    virtual bool LoadRegionFromFile(const std::string& fileName, const TRect& region);
    // Where the picture's top-left pixel lies in its source: 0, 0 after a whole
    // load.
    TPoint PictureOrigin;
    bool LoadBitmapFile(const std::string& fileName);
    // The bitmap path over the file already open: the stream stands at the file's
    // first byte; the file name chooses the picture's format by its extension.
    bool LoadBitmapStream(TStream& stream, const std::string& fileName);
    // As LoadBitmapFile, from a stream holding a BMP file image, whatever the
    // file's name, but raising what LoadBitmapFile turns into false.
    void LoadBitmapStream(TStream& stream);
    // The same for the part inside `region` alone, its rows read through `rows`.
    void LoadBitmapStream(TStream& stream, const TRect& region, TByteBuffer& rows);
    // The same, except that a 24-bit file's part, whose crop is its rows as they
    // stand, is not decoded: PictureTriples then shows them (in `rows` or
    // `gathered`) and the picture is left empty.
    void LoadBitmapStream(TStream& stream, const TRect& region, TByteBuffer& rows, TByteBuffer& gathered);
    // After that load of a 24-bit file, the rows of its part, which lies at
    // PictureOrigin; empty after every other load.
    TTripleView PictureTriples;
    bool SaveToFile(const std::string& fileName);

private:
    void TakeBitmapHeader(TStream& stream);

    PaletteHandle palette_;
    kxvAutoAlign autoAlign_ = aaNone;
    kxvAutoZoom autoZoom_ = azNone;
    TColor color_ = clNone;
};
