#include <cstdlib>
#include <new>

#include "framework/exceptions.h"
#include "framework/pixel_buffer.h"

namespace {

// calloc rather than a value-initialised vector: large blocks come as fresh
// zero pages from the system, so a big picture whose decoder writes only part of
// it (an RLE bitmap that ends early) costs only the pages it touches. Memory
// that is about to be overwritten whole is not cleared at all.
class HeapPixelBuffer final : public PixelBuffer {
public:
    HeapPixelBuffer(int width, int height, TPixelFill fill)
        : PixelBuffer(width, height), pixels_(static_cast<std::uint32_t*>(Allocate(width, height, fill)))
    {
        if (!pixels_) throw std::bad_alloc();
    }
    std::uint32_t* Bits() override { return pixels_.get(); }

private:
    static void* Allocate(int width, int height, TPixelFill fill)
    {
        const std::size_t pixels = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
        return fill == TPixelFill::Black ? std::calloc(pixels, sizeof(std::uint32_t))
                                         : std::malloc(pixels * sizeof(std::uint32_t));
    }

    struct Free {
        void operator()(std::uint32_t* p) const { std::free(p); }
    };
    std::unique_ptr<std::uint32_t, Free> pixels_;
};

}  // namespace

std::unique_ptr<PixelBuffer> MakePixelBuffer(int width, int height, TPixelFill fill)
{
    CheckBitmapSize(width, height);
    try {
        return std::make_unique<HeapPixelBuffer>(width, height, fill);
    } catch (const std::bad_alloc&) {
        throw EOutOfResources("メモリが足りません");
    }
}
