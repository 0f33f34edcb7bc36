#include "gif/gif_picture.h"

#include "framework/bitmap.h"
#include "framework/streams.h"
#include "gif/kxv_gif.h"

namespace {

template <typename Load>
TGifPictureInfo LoadPicture(TBitmap& bitmap, Load load)
{
    kxvGIF gif;
    gif.UseDelay = false;
    TBitmap decoded;
    load(gif, decoded);
    bitmap.TakeOver(decoded);
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
    return LoadPicture(bitmap, [&](kxvGIF& gif, TBitmap& decoded) { gif.LoadFromFile(fileName, decoded); });
}

TGifPictureInfo LoadGifPicture(TStream& stream, TBitmap& bitmap)
{
    return LoadPicture(bitmap, [&](kxvGIF& gif, TBitmap& decoded) { gif.LoadFromStream(stream, decoded); });
}
