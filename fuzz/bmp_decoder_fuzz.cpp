// TBitmap::LoadFromStream on arbitrary bytes. Besides the sanitizers' checks, the
// bytes are decoded twice, in place from memory and through a stream that hands
// out a few bytes per read, and both pictures must agree; pictures that TBitmap
// writes without loss must load back unchanged.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "framework/bitmap.h"
#include "framework/exceptions.h"
#include "framework/streams.h"

namespace {

// A stream that is not a memory stream and reads at most 7 bytes per call.
class TrickleStream final : public TStream {
public:
    TrickleStream(const std::uint8_t* data, std::int64_t size) : data_(data), size_(size) {}
    std::int64_t Read(void* buffer, std::int64_t count) override
    {
        const std::int64_t n = std::min<std::int64_t>({count, 7, size_ - position_});
        if (n <= 0) return 0;
        std::memcpy(buffer, data_ + position_, static_cast<std::size_t>(n));
        position_ += n;
        return n;
    }
    std::int64_t Write(const void*, std::int64_t) override { return 0; }
    std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override
    {
        const std::int64_t base = origin == soBeginning ? 0 : origin == soCurrent ? position_ : size_;
        position_ = std::max<std::int64_t>(0, base + offset);
        return position_;
    }

private:
    const std::uint8_t* data_;
    std::int64_t size_;
    std::int64_t position_ = 0;
};

bool Load(TBitmap& bitmap, TStream& stream)
{
    try {
        bitmap.LoadFromStream(stream);
        return true;
    } catch (const EInvalidGraphic&) {
    } catch (const EOutOfResources&) {
    }
    return false;
}

bool SamePixels(const TBitmap& a, const TBitmap& b)
{
    if (a.Width() != b.Width() || a.Height() != b.Height()) return false;
    for (int y = 0; y < a.Height(); ++y)
        if (std::memcmp(a.ScanLine(y), b.ScanLine(y), std::size_t(a.Width()) * 4) != 0) return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    TCustomMemoryStream memory(data, static_cast<std::int64_t>(size));
    TBitmap fromMemory;
    const bool loaded = Load(fromMemory, memory);

    TrickleStream trickle(data, static_cast<std::int64_t>(size));
    TBitmap fromTrickle;
    if (Load(fromTrickle, trickle) != loaded) std::abort();
    if (!loaded) return 0;
    if (!SamePixels(fromMemory, fromTrickle) || fromMemory.PixelFormat != fromTrickle.PixelFormat) std::abort();

    const TPixelFormat format = fromMemory.PixelFormat;
    if (format == pf15bit || format == pf24bit || format == pf32bit) {
        TMemoryStream saved;
        fromMemory.SaveToStream(saved);
        saved.SetPosition(0);
        TBitmap again;
        if (!Load(again, saved) || !SamePixels(fromMemory, again) || again.PixelFormat != format) std::abort();
    }
    return 0;
}
