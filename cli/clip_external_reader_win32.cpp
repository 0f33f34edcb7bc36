#include "cli/clip_image.h"

#include "external/kxv_susie.h"

std::unique_ptr<TExternalReader> MakeClipExternalReader()
{
    return std::make_unique<kxvSusie>();
}
