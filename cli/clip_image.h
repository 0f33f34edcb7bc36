#pragma once
// The command-line clipper's image: GIF files (by their first bytes) go to the GIF
// decoder, every other file to the image component's own loading, and what that
// cannot read to the outside readers the platform offers (on Windows the Susie
// plug-ins found in the system directory and beside the program).
#include <memory>
#include <string>

#include "framework/bitmap.h"
#include "image/external_reader.h"
#include "image/kxv_image.h"

// The outside readers talvern-clip loads through; none where the platform has none.
std::unique_ptr<TExternalReader> MakeClipExternalReader();

class TClipImage : public kxvImage {
public:
    TClipImage();
    bool LoadFromFile(const std::string& fileName) override;

private:
    std::unique_ptr<TExternalReader> external_;
    TBitmap scratch_;  // a GIF decodes here first; then it holds the previous picture's memory
};
