#include "cli/clip_image.h"

#include "gif/gif_picture.h"

bool TClipImage::LoadFromFile(const std::string& fileName)
{
    try {
        if (!fileName.empty() && IsGifFile(fileName)) {
            TGifPictureInfo info = LoadGifPicture(fileName, Picture().Bitmap());
            ColorDepth = info.ColorDepth;
            SetPalette(std::move(info.Palette));
            Invalidate();
            return true;
        }
    } catch (...) {
        return false;
    }
    return kxvImage::LoadFromFile(fileName);
}
