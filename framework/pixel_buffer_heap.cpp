#include <new>
#include <vector>

#include "framework/exceptions.h"
#include "framework/pixel_buffer.h"

namespace {

class HeapPixelBuffer final : public PixelBuffer {
public:
    HeapPixelBuffer(int width, int height)
        : PixelBuffer(width, height), pixels_(static_cast<std::size_t>(width) * static_cast<std::size_t>(height))
    {
    }
    std::uint32_t* Bits() override { return pixels_.data(); }

private:
    std::vector<std::uint32_t> pixels_;
};

}  // namespace

std::unique_ptr<PixelBuffer> MakePixelBuffer(int width, int height)
{
    if (width <= 0 || height <= 0 || std::int64_t{width} * height > MaxBitmapPixels)
        throw EOutOfResources("ビットマップが大きすぎます");
    try {
        return std::make_unique<HeapPixelBuffer>(width, height);
    } catch (const std::bad_alloc&) {
        throw EOutOfResources("メモリが足りません");
    }
}
