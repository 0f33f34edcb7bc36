#include "cli/clip_image.h"

#include "framework/streams.h"
#include "gif/gif_picture.h"

TClipImage::TClipImage() : external_(MakeClipExternalReader())
{
    if (external_) external_->SetEnable(true);
}

bool TClipImage::LoadFromFile(const std::string& fileName)
{
    try {
        if (fileName.empty()) return false;
        // One open and one buffer per file: the choice of reader and the reader
        // read the same bytes.
        TFileStream file(fileName, fmOpenRead | fmShareDenyWrite);
        TBufferedReadStream stream(file);
        if (IsGifFile(stream)) {
            stream.SetPosition(0);
            TGifPictureInfo info = LoadGifPicture(stream, Picture().Bitmap(), scratch_);
            ColorDepth = info.ColorDepth;
            SetPalette(std::move(info.Palette));
            Invalidate();
            return true;
        }
        stream.SetPosition(0);
        if (LoadBitmapStream(stream, fileName)) return true;
    } catch (...) {
    }
    if (!external_ || !external_->LoadFromFile(fileName, Picture().Bitmap())) return false;
    ColorDepth = external_->SourceColorDepth();
    CopyPalette(external_->SourcePalette());
    external_->SetPalette(nullptr);
    Invalidate();
    return true;
}
