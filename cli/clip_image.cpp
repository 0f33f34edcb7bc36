#include "cli/clip_image.h"

#include "framework/streams.h"
#include "gif/gif_picture.h"

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
        return LoadBitmapStream(stream, fileName);
    } catch (...) {
        return false;
    }
}
