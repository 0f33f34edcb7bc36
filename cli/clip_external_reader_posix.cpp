#include "cli/clip_image.h"

std::unique_ptr<TExternalReader> MakeClipExternalReader()
{
    return nullptr;
}
