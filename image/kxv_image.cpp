#include "image/kxv_image.h"

#include "framework/file_system.h"
#include "framework/streams.h"
#include "image/bmp_file.h"
#include "image/kx_wait_cursor.h"

kxvImage::kxvImage() = default;
kxvImage::~kxvImage() = default;

void kxvImage::SetPalette(PaletteHandle palette)
{
    palette_ = std::move(palette);
}

void kxvImage::CopyPalette(const TLogPalette* palette)
{
    SetPalette(CopyLogPalette(palette));
}

bool kxvImage::LoadBitmapFile(const std::string& fileName)
{
    try {
        ColorDepth = 0;
        // Opened once: the header and the picture come from the same reads.
        TFileStream file(fileName, fmOpenRead | fmShareDenyWrite);
        TBufferedReadStream stream(file);
        return LoadBitmapStream(stream, fileName);
    } catch (...) {
        return false;
    }
}

// The file's depth and colour table, read ahead of its picture: on a failure the
// picture keeps its old image while ColorDepth and Palette describe the file.
// Every BMP load starts here, so the rows of an earlier one are let go here too.
void kxvImage::TakeBitmapHeader(TStream& stream)
{
    PictureTriples = {};
    ColorDepth = 0;
    const std::int64_t start = stream.Position();
    TBitmapHeaderInfo header = ReadBitmapHeader(stream);
    ColorDepth = header.ColorDepth;
    SetPalette(std::move(header.Palette));
    stream.SetPosition(start);
}

bool kxvImage::LoadBitmapStream(TStream& stream, const std::string& fileName)
{
    try {
        TakeBitmapHeader(stream);
        picture_.LoadFromStream(stream, fileName);
        Invalidate();
        return true;
    } catch (...) {
        return false;
    }
}

void kxvImage::LoadBitmapStream(TStream& stream)
{
    stream.SetPosition(0);
    TakeBitmapHeader(stream);
    picture_.Bitmap().LoadFromStream(stream);
    PictureOrigin = {};
    Invalidate();
}

void kxvImage::LoadBitmapStream(TStream& stream, const TRect& region, TByteBuffer& rows)
{
    stream.SetPosition(0);
    TakeBitmapHeader(stream);
    PictureOrigin = picture_.Bitmap().LoadFromStream(stream, region, rows);
    Invalidate();
}

void kxvImage::LoadBitmapStream(TStream& stream, const TRect& region, TByteBuffer& rows, TByteBuffer& gathered)
{
    stream.SetPosition(0);
    TakeBitmapHeader(stream);
    // The crop is written at the depth the header gives: its rows are the
    // file's own only at 24 bits.
    if (ColorDepth == 24)
        PictureOrigin = picture_.Bitmap().LoadFromStream(stream, region, rows, gathered, PictureTriples);
    else
        PictureOrigin = picture_.Bitmap().LoadFromStream(stream, region, rows);
    Invalidate();
}

bool kxvImage::LoadFromFile(const std::string& fileName)
{
    try {
        kxWaitCursor wait;
        if (fileName.empty() || !FileExists(fileName)) return false;
        if (!LoadBitmapFile(fileName)) return false;
        PictureOrigin = {};
        return true;
    } catch (...) {
        return false;
    }
}

bool kxvImage::LoadRegionFromFile(const std::string& fileName, const TRect&)
{
    return LoadFromFile(fileName);
}

bool kxvImage::SaveToFile(const std::string& fileName)
{
    return SaveBitmapFile(fileName, picture_.Bitmap(), ColorDepth, Palette());
}
