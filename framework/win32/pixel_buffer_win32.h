#pragma once
// The Win32 pixel buffer: a top-down 32-bit DIB section.
#include <windows.h>

#include "framework/pixel_buffer.h"

class DibSectionBuffer final : public PixelBuffer {
public:
    DibSectionBuffer(int width, int height);
    ~DibSectionBuffer() override;
    DibSectionBuffer(const DibSectionBuffer&) = delete;
    DibSectionBuffer& operator=(const DibSectionBuffer&) = delete;

    std::uint32_t* Bits() override { return bits_; }
    HBITMAP Handle() const { return bitmap_; }

private:
    HBITMAP bitmap_ = nullptr;
    std::uint32_t* bits_ = nullptr;
};
