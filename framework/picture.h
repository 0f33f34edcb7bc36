#pragma once
// TPicture: the picture of an image control. It loads a file by its extension
// (the bitmap format under .bmp, .dib and .rle) and keeps its old image when the
// load fails.
#include <string>

#include "framework/bitmap.h"

class TStream;

class TPicture {
public:
    TBitmap& Bitmap() { return bitmap_; }
    const TBitmap& Bitmap() const { return bitmap_; }
    int Width() const { return bitmap_.Width(); }
    int Height() const { return bitmap_.Height(); }

    // Raises EInvalidGraphic for an unknown extension or bad content, the file
    // errors when it cannot be opened.
    void LoadFromFile(const std::string& fileName);
    // The same with the file's bytes from a stream already open on it (at its
    // first byte); the name still chooses the format.
    void LoadFromStream(TStream& stream, const std::string& fileName);

private:
    TBitmap bitmap_;
};
