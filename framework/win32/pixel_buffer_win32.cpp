#include "framework/win32/pixel_buffer_win32.h"

#include "framework/exceptions.h"

DibSectionBuffer::DibSectionBuffer(int width, int height) : PixelBuffer(width, height)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    bitmap_.reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap_ || !bits) throw EOutOfResources("メモリが足りません");
    bits_ = static_cast<std::uint32_t*>(bits);
}

// A DIB section's memory always comes cleared from the system: the fill asked
// for costs nothing either way.
std::unique_ptr<PixelBuffer> MakePixelBuffer(int width, int height, TPixelFill)
{
    CheckBitmapSize(width, height);
    return std::make_unique<DibSectionBuffer>(width, height);
}
