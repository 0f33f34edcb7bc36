#pragma once
// kxvImage: the image view. This half is its picture loading: the picture, and
// the colour depth and palette of the source it came from.
#include <string>

#include "framework/palette.h"
#include "framework/picture.h"

class kxvImage {
public:
    kxvImage();
    virtual ~kxvImage();

    TPicture& Picture() { return picture_; }

    // Bits per pixel of the source of the current picture (0: unknown) and its
    // colour table; used when the picture, or part of it, is written as BMP.
    int ColorDepth = 0;
    const TLogPalette* Palette() const { return palette_.get(); }
    void SetPalette(PaletteHandle palette);
    void CopyPalette(const TLogPalette* palette);

    // True when the picture now holds the file; every failure gives false and
    // keeps the previous picture.
    virtual bool LoadFromFile(const std::string& fileName);
    bool LoadBitmapFile(const std::string& fileName);
    bool SaveToFile(const std::string& fileName);

protected:
    TPicture picture_;

private:
    PaletteHandle palette_;
};
