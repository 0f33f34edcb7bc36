#include "gif/gif_picture.h"

#include "framework/bitmap.h"
#include "framework/streams.h"
#include "gif/kxv_gif.h"

namespace {

template <typename Load>
TGifPictureInfo LoadPicture(TBitmap& bitmap, TBitmap& decoded, Load load)
{
    kxvGIF gif;
    gif.UseDelay = false;
    // The decoder fills the whole screen with the background before drawing
    // (FillBackground, no offset): what the bitmap held before never shows.
    // Its format and palette start as a new bitmap's.
    decoded.PixelFormat = pfDevice;
    decoded.SetPalette(nullptr);
    load(gif, decoded);
    TBitmap previous;
    previous.TakeOver(bitmap);
    bitmap.TakeOver(decoded);
    decoded.TakeOver(previous);
    TGifPictureInfo info;
    info.ColorDepth = gif.ColorDepth;
    info.Palette = CopyLogPalette(gif.Palette());
    gif.SetPalette(nullptr);
    return info;
}

}  // namespace

bool IsGifFile(const std::string& fileName)
{
    kxvGIF gif;
    return gif.IsSupport(fileName);
}

bool IsGifFile(TStream& stream)
{
    kxvGIF gif;
    return gif.IsSupport(stream);
}

TGifPictureInfo LoadGifPicture(const std::string& fileName, TBitmap& bitmap)
{
    TBitmap decoded;
    return LoadPicture(bitmap, decoded, [&](kxvGIF& gif, TBitmap& target) { gif.LoadFromFile(fileName, target); });
}

TGifPictureInfo LoadGifPicture(TStream& stream, TBitmap& bitmap, TBitmap& scratch)
{
    return LoadPicture(bitmap, scratch, [&](kxvGIF& gif, TBitmap& target) { gif.LoadFromStream(stream, target); });
}
