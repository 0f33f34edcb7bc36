#include "gif/gif_picture.h"

#include "framework/bitmap.h"
#include "gif/kxv_gif.h"

bool IsGifFile(const std::string& fileName)
{
    kxvGIF gif;
    return gif.IsSupport(fileName);
}

TGifPictureInfo LoadGifPicture(const std::string& fileName, TBitmap& bitmap)
{
    kxvGIF gif;
    gif.UseDelay = false;
    TBitmap decoded;
    gif.LoadFromFile(fileName, decoded);
    bitmap.TakeOver(decoded);
    TGifPictureInfo info;
    info.ColorDepth = gif.ColorDepth;
    info.Palette = CopyLogPalette(gif.Palette());
    gif.SetPalette(nullptr);
    return info;
}
