#pragma once
// The command-line clipper's image: GIF files (by their first bytes) go to the GIF
// decoder, every other file to the image component's own loading.
#include <string>

#include "framework/bitmap.h"
#include "image/kxv_image.h"

class TClipImage : public kxvImage {
public:
    bool LoadFromFile(const std::string& fileName) override;

private:
    TBitmap scratch_;  // a GIF decodes here first; then it holds the previous picture's memory
};
