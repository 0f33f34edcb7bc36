#pragma once
// The memory behind a TBitmap: top-down rows of 32-bit blue-green-red-unused
// pixels, rows packed without padding. On Win32 it lives inside a DIB section so
// that GDI can draw text into it and the screen can be painted from it.
#include <cstdint>
#include <memory>

#include "framework/exceptions.h"

class PixelBuffer {
public:
    virtual ~PixelBuffer() = default;
    virtual std::uint32_t* Bits() = 0;
    int Width() const { return width_; }
    int Height() const { return height_; }

protected:
    PixelBuffer(int width, int height) : width_(width), height_(height) {}

private:
    int width_;
    int height_;
};

// Largest picture a bitmap takes: 2^28 pixels (1 GiB of pixel memory). Bigger
// sizes, and allocation failures, raise EOutOfResources.
// Fuzz builds lower it (TALVERN_MAX_BITMAP_PIXELS): under the sanitizers every
// huge allocation is slow, and the code paths are the same at any limit.
#ifdef TALVERN_MAX_BITMAP_PIXELS
constexpr std::int64_t MaxBitmapPixels = TALVERN_MAX_BITMAP_PIXELS;
#else
constexpr std::int64_t MaxBitmapPixels = std::int64_t{1} << 28;
#endif

// Black pixels, or, for a caller that writes every pixel itself before anyone
// reads one, whatever the memory held (no time spent clearing it).
enum class TPixelFill { Black, Undefined };

// Raises EOutOfResources for a size no bitmap takes: what every picture and
// crop is bounded by, whether or not it is kept as pixels.
inline void CheckBitmapSize(int width, int height)
{
    if (width <= 0 || height <= 0 || std::int64_t{width} * height > MaxBitmapPixels)
        throw EOutOfResources("ビットマップが大きすぎます");
}

// Defined once per platform; the size is checked as above.
std::unique_ptr<PixelBuffer> MakePixelBuffer(int width, int height, TPixelFill fill = TPixelFill::Black);
