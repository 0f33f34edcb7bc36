#include "cli/clip_image.h"

#include "gif/gif_picture.h"

TClipImage::TClipImage() : external_(MakeClipExternalReader())
{
    if (external_) external_->SetEnable(true);
}

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
    if (kxvImage::LoadFromFile(fileName)) return true;
    if (!external_ || !external_->LoadFromFile(fileName, Picture().Bitmap())) return false;
    ColorDepth = external_->SourceColorDepth();
    CopyPalette(external_->SourcePalette());
    external_->SetPalette(nullptr);
    Invalidate();
    return true;
}
