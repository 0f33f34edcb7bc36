#pragma once
// The Win32 pixel buffer: a top-down 32-bit DIB section.
#include <windows.h>

#include "framework/win32/handles.h"
#include "framework/pixel_buffer.h"

class DibSectionBuffer final : public PixelBuffer {
public:
    DibSectionBuffer(int width, int height);

    std::uint32_t* Bits() override { return bits_; }
    HBITMAP Handle() const { return bitmap_.get(); }

private:
    UniqueBitmap bitmap_;
    std::uint32_t* bits_ = nullptr;
};
