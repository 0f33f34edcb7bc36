// TBitmap::LoadFromStream on arbitrary bytes. Besides the sanitizers' checks, the
// bytes are decoded twice, in place from memory and through a stream that hands
// out a few bytes per read, and both pictures must agree, as must two more
// loads into the second picture; pictures that TBitmap writes without loss must
// load back unchanged.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "framework/bitmap.h"
#include "framework/exceptions.h"
#include "framework/streams.h"
#include "fuzz/bmp_picture_size.h"
#include "fuzz/trickle_stream.h"

namespace {

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
    if (SlowBmpPicture(data, size)) return 0;
    TCustomMemoryStream memory(data, static_cast<std::int64_t>(size));
    TBitmap fromMemory;
    const bool loaded = Load(fromMemory, memory);

    TrickleStream trickle(data, static_cast<std::int64_t>(size), 7);
    TBitmap fromTrickle;
    if (Load(fromTrickle, trickle) != loaded) std::abort();
    if (!loaded) return 0;
    if (!SamePixels(fromMemory, fromTrickle) || fromMemory.PixelFormat != fromTrickle.PixelFormat) std::abort();
    // Twice more into the second picture: a bitmap keeps the memory of the
    // picture it replaces, and the third load decodes into it.
    for (int load = 0; load < 2; ++load) {
        memory.SetPosition(0);
        if (!Load(fromTrickle, memory) || !SamePixels(fromMemory, fromTrickle)) std::abort();
    }

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
